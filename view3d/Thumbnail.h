#pragma once
// The picture a file manager shows for a model: the 3D view of the edited section from
// the cameo preset, cut to the drawn voxels and sized by a whole factor.

#include "editor/PixelBuffer.h"
#include "model/VoxelModel.h"
#include "view3d/Renderer3D.h"

// Renders the edited section from the cameo angles on a clear background (alpha 0), lit
// when its normal version has a set of normals, cuts the render to the drawn pixels and
// fits it into size x size: enlarged by the largest whole factor that fits, or made
// smaller by the smallest whole divisor that fits, each pixel then the alpha-weighted
// average of its square. Nothing drawn gives one clear pixel. size is 1 or more.
void RenderThumbnail(const TVoxelModel& model, int size, View3DBuffers& buffers,
                     PixelBuffer& picture);
