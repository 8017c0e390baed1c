// The two list boxes' context menus and their commands: copy, move and delete
// through the shell, moving an entry in the join order, a first piece's header,
// and one file's size and CRC-32.
#include <windows.h>

#include <shellapi.h>

#include <memory>

#include "cat/join_steps.h"
#include "core/crc32.h"
#include "core/crc32_job.h"
#include "core/file_checks.h"
#include "core/piece_header.h"
#include "core/piece_name.h"
#include "platform/error_text.h"
#include "platform/file.h"
#include "ui/framework/controls.h"
#include "ui/framework/popup_menu.h"
#include "ui/main_dialog.h"
#include "ui/menu_rules.h"
#include "ui/resource.h"

namespace {

constexpr const char kDestinationTitle[] = "Select a destination folder";
constexpr const char kOneFileOnly[] = "Please select one file only";

bool PointIn(HWND window, POINT point) {
    RECT rect;
    return GetWindowRect(window, &rect) && PtInRect(&rect, point);
}

// A selected entry and the file it names.
struct SelectedFile {
    int line;
    std::string path;
};

// The selected entries of a list box whose files are known, last line first.
// The split list's lines name files in its folder; the catenate list's lines
// name the full paths kept for them, wherever those files lie.
std::vector<SelectedFile> SelectedFiles(ListBox list, bool isCatList, const std::vector<std::string>& splitPaths,
                                        const std::vector<std::string>& catenationList,
                                        const std::vector<std::string>& rejoinedPaths) {
    std::vector<SelectedFile> files;
    const int count = list.Count();
    for (int line = count - 1; line >= 0; --line) {
        if (!list.IsSelected(line))
            continue;
        if (!isCatList) {
            if (static_cast<size_t>(line) < splitPaths.size() && !splitPaths[line].empty())
                files.push_back({line, splitPaths[line]});
            continue;
        }
        const CatEntry entry =
            LocateCatEntry(line, static_cast<size_t>(count), catenationList.size(), rejoinedPaths.size());
        if (entry.kind == CatEntry::Kind::Piece)
            files.push_back({line, catenationList[entry.index]});
        else if (entry.kind == CatEntry::Kind::Rejoined)
            files.push_back({line, rejoinedPaths[entry.index]});
    }
    return files;
}

std::vector<std::string> SourcePaths(const std::vector<SelectedFile>& files) {
    std::vector<std::string> paths;
    for (const SelectedFile& file : files)
        paths.push_back(file.path);
    return paths;
}

// One target for each source, in the same order, for FOF_MULTIDESTFILES.
std::vector<std::string> TargetPaths(const std::vector<SelectedFile>& files, const std::string& destination) {
    std::vector<std::string> paths;
    for (const SelectedFile& file : files)
        paths.push_back(JoinPath(destination, NamePart(file.path)));
    return paths;
}

// Runs one request through the shell, which shows its own progress and
// questions; true only when every file was done.
bool RunShellOperation(HWND owner, UINT function, const std::vector<std::string>& sources,
                       const std::vector<std::string>* targets, FILEOP_FLAGS flags) {
    const std::string from = ShellNameList(sources);
    const std::string to = targets ? ShellNameList(*targets) : std::string();
    SHFILEOPSTRUCTA operation{};
    operation.hwnd = owner;
    operation.wFunc = function;
    operation.pFrom = from.c_str();
    operation.pTo = targets ? to.c_str() : nullptr;
    operation.fFlags = flags;
    const int result = SHFileOperationA(&operation);
    // A user who breaks the operation off may get 0 back with this flag set.
    return result == 0 && !operation.fAnyOperationsAborted;
}

// The one selected line of the catenate list box, or empty: after "Please
// select one file only" when there are several, silently when there is none.
std::optional<int> SingleSelectedLine(ListBox list, Messenger& messenger) {
    if (list.SelectedCount() > 1) {
        messenger.Show(kOneFileOnly, Icon::Information);
        return std::nullopt;
    }
    const int count = list.Count();
    for (int line = 0; line < count; ++line)
        if (list.IsSelected(line))
            return line;
    return std::nullopt;
}

// The file that the one selected line of the catenate list box shows.
std::optional<std::string> SingleSelectedFile(ListBox list, Messenger& messenger,
                                              const std::vector<std::string>& catenationList,
                                              const std::vector<std::string>& rejoinedPaths) {
    const std::optional<int> line = SingleSelectedLine(list, messenger);
    if (!line)
        return std::nullopt;
    const CatEntry entry =
        LocateCatEntry(*line, static_cast<size_t>(list.Count()), catenationList.size(), rejoinedPaths.size());
    if (entry.kind == CatEntry::Kind::Piece)
        return catenationList[entry.index];
    if (entry.kind == CatEntry::Kind::Rejoined)
        return rejoinedPaths[entry.index];
    return std::nullopt;
}

// Moves line `from` to the place of its neighbour `to`, the neighbour's
// selection going with it: the selected line keeps its selection.
void MoveLine(ListBox list, int from, int to) {
    const std::string text = list.Text(from);
    list.Delete(from);
    list.Insert(to, text);
}

// After a copy, move or delete the other list box is emptied. The rejoined
// files' and the split list's paths go with their lines; the catenation list
// stays as it is.
void EmptyOtherList(HWND dialog, int listId, std::vector<std::string>& rejoinedPaths,
                    std::vector<std::string>& splitPaths) {
    const int otherId = listId == IDC_CAT_LIST ? IDC_SPLIT_LIST : IDC_CAT_LIST;
    ListBox(GetDlgItem(dialog, otherId)).Reset();
    if (otherId == IDC_CAT_LIST)
        rejoinedPaths.clear();
    else
        splitPaths.clear();
}

// After a move or delete: the lines acted on go, and so do the entries of the
// lists that named the files now gone.
void DropDoneEntries(HWND dialog, int listId, const std::vector<SelectedFile>& done,
                     std::vector<std::string>& catenationList, std::vector<std::string>& rejoinedPaths,
                     std::vector<std::string>& splitPaths) {
    ListBox list(GetDlgItem(dialog, listId));
    const size_t lineCount = static_cast<size_t>(list.Count());
    std::vector<int> lines;
    for (const SelectedFile& file : done) {
        list.Delete(file.line); // last line first: the lines still to go keep their index
        lines.push_back(file.line);
        if (listId == IDC_SPLIT_LIST && static_cast<size_t>(file.line) < splitPaths.size())
            splitPaths.erase(splitPaths.begin() + file.line);
    }
    if (listId == IDC_CAT_LIST)
        RemoveCatEntries(lines, lineCount, catenationList, rejoinedPaths);
    else
        RemoveFirstEqual(catenationList, SourcePaths(done));
    EmptyOtherList(dialog, listId, rejoinedPaths, splitPaths);
}

} // namespace

BOOL MainDialog::OnContextMenu(HWND, POINT screenPoint) {
    const HWND splitList = Item(IDC_SPLIT_LIST);
    const HWND catList = Item(IDC_CAT_LIST);
    const std::optional<ContextMenuChoice> choice =
        ChooseContextMenu(PointIn(splitList, screenPoint), PointIn(catList, screenPoint),
                          ListBox(splitList).Count() > 0, ListBox(catList).Count() > 0, explicitSelection_);
    if (!choice)
        return FALSE;
    PopupMenu menu(choice->menuId);
    for (const unsigned id : choice->greyed)
        menu.Disable(id);
    menu.Show(Handle(), screenPoint);
    return TRUE;
}

void MainDialog::OnMenu_SplitCopy() {
    CopyFiles(IDC_SPLIT_LIST);
}

void MainDialog::OnMenu_SplitMove() {
    MoveFiles(IDC_SPLIT_LIST);
}

void MainDialog::OnMenu_SplitDelete() {
    DeleteFiles(IDC_SPLIT_LIST);
}

void MainDialog::OnMenu_CatCopy() {
    CopyFiles(IDC_CAT_LIST);
}

void MainDialog::OnMenu_CatMove() {
    MoveFiles(IDC_CAT_LIST);
}

void MainDialog::OnMenu_CatDelete() {
    DeleteFiles(IDC_CAT_LIST);
}

void MainDialog::CopyFiles(int listId) {
    std::string destination;
    if (!pickers_.PickFolder(destination, kDestinationTitle))
        return;
    ListBox list(Item(listId));
    const std::vector<SelectedFile> files =
        SelectedFiles(list, listId == IDC_CAT_LIST, splitPaths_, catenationList_, rejoinedPaths_);
    if (files.empty())
        return;
    // A chosen item without a file-system path (a virtual folder) is no place to copy to.
    const std::vector<std::string> targets = TargetPaths(files, destination);
    if (destination.empty() ||
        !RunShellOperation(Handle(), FO_COPY, SourcePaths(files), &targets, FOF_MULTIDESTFILES)) {
        messenger_.Show("File copy failed", Icon::Exclamation);
        return;
    }
    for (const SelectedFile& file : files)
        list.SetSelected(file.line, false);
    EmptyOtherList(Handle(), listId, rejoinedPaths_, splitPaths_);
}

void MainDialog::MoveFiles(int listId) {
    std::string destination;
    if (!pickers_.PickFolder(destination, kDestinationTitle))
        return;
    const std::vector<SelectedFile> files =
        SelectedFiles(ListBox(Item(listId)), listId == IDC_CAT_LIST, splitPaths_, catenationList_, rejoinedPaths_);
    if (files.empty())
        return;
    const std::vector<std::string> targets = TargetPaths(files, destination);
    if (destination.empty() ||
        !RunShellOperation(Handle(), FO_MOVE, SourcePaths(files), &targets, FOF_MULTIDESTFILES)) {
        messenger_.Show("File move failed", Icon::Exclamation);
        return;
    }
    DropDoneEntries(Handle(), listId, files, catenationList_, rejoinedPaths_, splitPaths_);
}

void MainDialog::DeleteFiles(int listId) {
    const std::vector<SelectedFile> files =
        SelectedFiles(ListBox(Item(listId)), listId == IDC_CAT_LIST, splitPaths_, catenationList_, rejoinedPaths_);
    if (files.empty())
        return;
    // No question and no recycle bin (no FOF_ALLOWUNDO): the command says "immediate".
    if (!RunShellOperation(Handle(), FO_DELETE, SourcePaths(files), nullptr, FOF_NOCONFIRMATION)) {
        messenger_.Show("File delete failed", Icon::Exclamation);
        return;
    }
    DropDoneEntries(Handle(), listId, files, catenationList_, rejoinedPaths_, splitPaths_);
}

void MainDialog::MoveEntryUp() {
    ListBox list(Item(IDC_CAT_LIST));
    const std::optional<int> line = SingleSelectedLine(list, messenger_);
    if (!line || *line == 0)
        return;
    // A rejoined file has no place in the join order to move.
    const size_t lineCount = static_cast<size_t>(list.Count());
    const CatEntry entry = LocateCatEntry(*line, lineCount, catenationList_.size(), rejoinedPaths_.size());
    if (entry.kind != CatEntry::Kind::Piece)
        return;
    MoveLine(list, *line - 1, *line);
    std::swap(catenationList_[entry.index - 1], catenationList_[entry.index]);
}

void MainDialog::MoveEntryDown() {
    ListBox list(Item(IDC_CAT_LIST));
    const std::optional<int> line = SingleSelectedLine(list, messenger_);
    if (!line)
        return;
    const size_t lineCount = static_cast<size_t>(list.Count());
    const CatEntry entry = LocateCatEntry(*line, lineCount, catenationList_.size(), rejoinedPaths_.size());
    const CatEntry next = LocateCatEntry(*line + 1, lineCount, catenationList_.size(), rejoinedPaths_.size());
    if (entry.kind != CatEntry::Kind::Piece || next.kind != CatEntry::Kind::Piece)
        return;
    MoveLine(list, *line + 1, *line);
    std::swap(catenationList_[entry.index], catenationList_[next.index]);
}

void MainDialog::ShowPieceHeader() {
    const std::optional<std::string> path =
        SingleSelectedFile(ListBox(Item(IDC_CAT_LIST)), messenger_, catenationList_, rejoinedPaths_);
    if (!path)
        return;
    const PieceNameParts parts = PiecePartsOf(*path);
    if (parts.number != 0 || parts.selfCatenating) {
        messenger_.Show("Not a _Split#000 file", Icon::Exclamation);
        return;
    }
    // The same read of the first piece the join makes, so both see one header.
    std::vector<uint8_t> window(kHeaderWindow);
    size_t got = 0;
    try {
        File file(*path, File::Mode::ReadDenyWrite);
        got = ReadFirstPieceWindow(file, parts, window.data());
        file.Close();
    } catch (const FileException& error) {
        messenger_.Show(error.Description(), Icon::Hand);
        return;
    }
    messenger_.Show(PieceHeaderText(window.data(), got), Icon::Information);
}

void MainDialog::ShowSizeAndCrc() {
    const std::optional<std::string> path =
        SingleSelectedFile(ListBox(Item(IDC_CAT_LIST)), messenger_, catenationList_, rejoinedPaths_);
    if (!path)
        return;
    // A file that cannot be read has no size or CRC to show: the user gets the reason instead.
    const PathStatus status = GetPathStatus(*path);
    if (!status.ok || status.isFolder) {
        messenger_.Show(UnreadableFileText(*path, status.ok ? "It is a folder." : SystemErrorText(status.error)),
                        Icon::Hand);
        return;
    }
    const auto size = static_cast<int64_t>(status.size);
    const auto result = std::make_shared<CrcJobResult>();
    const std::string file = *path;
    StartJob(
        0,
        [result, file](const ProgressCallback& onProgress, Messenger&) { *result = MeasureFileCrc(file, onProgress); },
        [this, result, file, size] {
            switch (result->end) {
            case CrcJobEnd::Stopped:
                messenger_.Show(kCrcStoppedText, Icon::Information);
                return;
            case CrcJobEnd::Failed:
                messenger_.Show(UnreadableFileText(file, result->failure), Icon::Hand);
                return;
            case CrcJobEnd::Done:
                messenger_.Show(SizeAndCrcText(file, size, result->crc), Icon::Information);
                return;
            }
        });
}
