#pragma once
// Steps for the section list: add, duplicate, remove and move. Each operation changes
// the model and returns its step, or null when it cannot be done (no such section, the
// last section, a full list, a size outside 1-255).

#include <memory>

#include "model/EditStep.h"

// An empty section of the given extent after the edited one; it becomes the edited one.
std::unique_ptr<EditStep> AddSection(TVoxelModel& model, int sizeX, int sizeY, int sizeZ,
                                     std::string label);
// A copy of the edited section after it; the copy becomes the edited one.
std::unique_ptr<EditStep> DuplicateSection(TVoxelModel& model, std::string label);
// Never the only section. Removing the edited one makes the next (or else the previous)
// section the edited one.
std::unique_ptr<EditStep> RemoveSection(TVoxelModel& model, std::size_t index, std::string label);
// One place towards the start (up) or the end (down); the edited section stays edited.
std::unique_ptr<EditStep> MoveSectionUp(TVoxelModel& model, std::size_t index, std::string label);
std::unique_ptr<EditStep> MoveSectionDown(TVoxelModel& model, std::size_t index, std::string label);
