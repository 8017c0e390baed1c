// The catenate half: the first piece typed or picked, "Start cat", the explicit
// selection, and the routines that find a set's pieces and join them.
#include <algorithm>
#include <cctype>
#include <optional>

#include "cat/cat_files.h"
#include "cat/piece_discovery.h"
#include "core/piece_name.h"
#include "platform/file.h"
#include "ui/framework/controls.h"
#include "ui/framework/wait_cursor.h"
#include "ui/main_dialog.h"
#include "ui/resource.h"

namespace {

// Filters as pairs of zero-terminated texts: description, then pattern.
constexpr char kFirstPieceFilter[] = "_Split#000 (_Split#000)\0_Split#000\0";
constexpr char kSelectionFilter[] = "All (*.*)\0*.*\0_Split#nnn\0_Split#*\0";

std::string Filter(const char* text, size_t size) {
    return std::string(text, size - 1);
}

// Wide enough for a rejoined file's line to be scrolled into view.
constexpr int kCatListExtent = 500;

std::string LowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The name of a plain join, from the string table so that it can be translated.
std::optional<std::string> PlainNameFormat() {
    char text[64] = {};
    const int length = LoadStringA(GetModuleHandleA(nullptr), IDS_JOIN_FILE_NAME, text, sizeof text);
    if (length <= 0)
        return std::nullopt;
    return std::string(text, static_cast<size_t>(length));
}

} // namespace

void MainDialog::OnEn_FirstPieceChange() {
    firstPiecePath_ = ItemText(IDC_FIRST_PIECE);
    if (LowerCase(NamePart(firstPiecePath_)) != LowerCase(kFirstPieceName))
        return;
    // The name is taken in its one right spelling; the edit keeps what was typed.
    firstPiecePath_ = FolderPart(firstPiecePath_) + "\\" + kFirstPieceName;
    const DWORD attributes = GetFileAttributesA(firstPiecePath_.c_str());
    // Typing passes through many half-finished paths: those that name nothing stay quiet.
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return;
    FindPieces();
}

void MainDialog::OnBn_PickFirstPiece() {
    firstPiecePath_ =
        pickers_.PickFile("C:\\", "Select 1st splitted file", Filter(kFirstPieceFilter, sizeof kFirstPieceFilter));
    if (firstPiecePath_.empty())
        return;
    FindPieces();
    // Raises the edit's change handler, which finds the same pieces once more.
    SetItemText(IDC_FIRST_PIECE, firstPiecePath_);
}

void MainDialog::OnBn_StartCat() {
    // What is on disk now is what gets joined; an explicit selection is taken as it stands.
    if (firstPiecePath_ != kExplicitMarker)
        FindPieces();
    if (catenationList_.empty())
        return;
    WaitCursor wait;
    CatFiles();
}

void MainDialog::OnBn_SelectSpecificFiles() {
    if (!pickers_.PickFilesInOrder("C:\\", "Click Correct Sequence of Splitted Files",
                                   Filter(kSelectionFilter, sizeof kSelectionFilter), catenationList_))
        return;
    firstPiecePath_ = kExplicitMarker;
    ListExplicitSelection();
}

void MainDialog::ListExplicitSelection() {
    ListBox list(Item(IDC_CAT_LIST));
    list.Reset();
    rejoinedPaths_.clear();
    for (const std::string& path : catenationList_)
        list.Add(SelectionLine(path));
}

void MainDialog::FindPieces() {
    ListBox list(Item(IDC_CAT_LIST));
    const std::optional<std::vector<DiscoveredPiece>> pieces = DiscoverPieces(firstPiecePath_, messenger_);
    list.Reset();
    rejoinedPaths_.clear();
    catenationList_.clear();
    if (!pieces) {
        firstPiecePath_.clear();
        return;
    }
    for (const DiscoveredPiece& piece : *pieces) {
        catenationList_.push_back(piece.path);
        list.Add(PieceLine(piece.path, piece.size));
    }
}

void MainDialog::CatFiles() {
    CatJob job;
    job.paths = catenationList_;
    job.explicitSelection = firstPiecePath_ == kExplicitMarker;
    if (const std::optional<std::string> format = PlainNameFormat())
        job.plainNameFormat = *format;
    const CatResult result = ::CatFiles(job, messenger_);
    if (result.headerRead) {
        recordedName_ = result.recordedName;
        recordedCrcText_ = result.recordedCrc;
    }
    if (!result.written || result.listLine.empty())
        return;
    ListBox list(Item(IDC_CAT_LIST));
    list.Add(result.listLine);
    rejoinedPaths_.push_back(result.outputPath);
    list.SetHorizontalExtent(kCatListExtent);
}
