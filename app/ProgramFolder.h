#pragma once

// The program folder: the folder of the executable, always ending with "/".
// Computed afresh on every call; content paths are this folder followed by a
// fixed relative part, appended unchanged (a doubled "/" at the join is
// harmless).

#include <QString>

#include <functional>

QString ExecutableFolder();

// Where the main window finds its content; the executable's folder in the
// program, a prepared folder in tests.
using TProgramFolderFunc = std::function<QString()>;
