#pragma once
// The application's own message texts, shown through the one-button message dialog
// and printed by the command-line companion.

inline constexpr const char* MsgFileNotFound = "File not found!";
inline constexpr const char* MsgIncorrectFormat = "Incorrect Format!";
inline constexpr const char* MsgMultiLimbed = "Multi-limbed voxels are currently not supported!";
inline constexpr const char* MsgTooSmall = "Image is too small!";
inline constexpr const char* MsgNoMemory = "Not enough memory to open the model!";
inline constexpr const char* Msg256Colours = "Must be a 256-colour palette!";
inline constexpr const char* MsgFileError = "File Error!";
inline constexpr const char* MsgSizeRange = "Must enter a value between 1-255!";
// Saving can fail (full disk, no permission); the previous file then stays whole.
inline constexpr const char* MsgCannotSave = "Could not write the file!";
inline constexpr const char* MsgChooseNormals = "Choose Tiberian Sun or Red Alert 2 normals first!";
