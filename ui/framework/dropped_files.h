// The files of one drag-and-drop: their paths in the order given and the drop
// point. The drop's memory goes with the object (DragFinish).
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "platform/owned_handles.h"

class DroppedFiles {
public:
    explicit DroppedFiles(HDROP drop) : drop_(drop) {}

    std::vector<std::string> Paths() const;
    // Where the files were let go, in the target window's client coordinates.
    POINT Point() const;

private:
    DropHandle drop_;
};
