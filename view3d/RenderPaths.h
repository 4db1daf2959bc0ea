#pragma once
// The 3D renderer's vector widths. RenderView takes the widest one the processor
// runs; all of them give the same bits, and the tests hold each to that.

#include <cstdint>

struct TVoxelModel;
struct View3DBuffers;

enum class RenderPath { Portable, Wide4, Wide8 };

bool CanRunPath(RenderPath path);
RenderPath WidestRenderPath();
// RenderView on a chosen path; a path the processor cannot run falls back to Portable.
void RenderViewWith(RenderPath path, const TVoxelModel& model, int ax, int ay, int az,
                    std::int16_t viewSpan, std::uint32_t background, View3DBuffers& buffers,
                    bool lighting = false);
