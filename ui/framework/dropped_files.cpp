// Reading a drag-and-drop's files and point.
#include "ui/framework/dropped_files.h"

std::vector<std::string> DroppedFiles::Paths() const {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileA(drop_.Get(), 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileA(drop_.Get(), i, nullptr, 0);
        std::string path(length + 1, '\0');
        const UINT copied = DragQueryFileA(drop_.Get(), i, path.data(), length + 1);
        path.resize(copied);
        paths.push_back(path);
    }
    return paths;
}

POINT DroppedFiles::Point() const {
    POINT point{};
    DragQueryPoint(drop_.Get(), &point);
    return point;
}
