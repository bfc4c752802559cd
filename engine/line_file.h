#pragma once

#include <string>
#include <string_view>

#include "file_io.h"
#include "line_array.h"

namespace vantorel {

// Loads a text file into `lines` (see CLineArray::ReadLines). False when there is no array, the
// name is no readable file or is a folder, another process holds an exclusive advisory lock on
// it (it is being written), or a read fails; `lines` is then left empty.
bool LoadLineArray(const std::string& name, CLineArray* lines, LineReadInfo* info = nullptr);

// Saves `lines`, each followed by eol, under `name`, safely (see ReplaceFile).
bool SaveLineArray(const std::string& name, const CLineArray* lines,
                   std::string_view eol = "\r\n");

}  // namespace vantorel
