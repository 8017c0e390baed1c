// The catenate half: the first piece typed or picked, "Start cat", the explicit
// selection, and the routines that find a set's pieces and join them.
#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>

#include "cat/cat_files.h"
#include "cat/piece_discovery.h"
#include "core/piece_name.h"
#include "platform/file.h"
#include "ui/framework/controls.h"
#include "ui/list_lines.h"
#include "ui/main_dialog.h"
#include "ui/recovery_handlers.h"
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

// The full path of a name as the system resolves it now, so that a relative or bare name keeps its
// meaning when the current directory changes later. The name as given when the system cannot.
std::string FullPath(const std::string& path) {
    if (path.empty())
        return path;
    std::string full(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
        if (length == 0)
            return path;
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

} // namespace

void MainDialog::OnEn_FirstPieceChange() {
    firstPiecePath_ = ItemText(IDC_FIRST_PIECE);
    explicitSelection_ = false;
    if (LowerCase(NamePart(firstPiecePath_)) != LowerCase(kFirstPieceName))
        return;
    // The name is taken in its one right spelling; the edit keeps what was typed. A bare name lies in
    // the current folder, where the user typed it, never in the drive's root.
    const bool hasFolder = firstPiecePath_.find('\\') != std::string::npos;
    firstPiecePath_ = FullPath(hasFolder ? FolderPart(firstPiecePath_) + "\\" + kFirstPieceName : kFirstPieceName);
    const DWORD attributes = GetFileAttributesA(firstPiecePath_.c_str());
    // Typing passes through many half-finished paths: those that name nothing stay quiet.
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return;
    FindPieces();
}

void MainDialog::OnBn_PickFirstPiece() {
    firstPiecePath_ =
        pickers_.PickFile("C:\\", "Select 1st splitted file", Filter(kFirstPieceFilter, sizeof kFirstPieceFilter));
    explicitSelection_ = false;
    if (firstPiecePath_.empty())
        return;
    FindPieces();
    // Raises the edit's change handler, which finds the same pieces once more.
    SetItemText(IDC_FIRST_PIECE, firstPiecePath_);
}

void MainDialog::OnBn_StartCat() {
    // What is on disk now is what gets joined; an explicit selection is taken as it stands.
    if (!explicitSelection_)
        FindPieces();
    if (catenationList_.empty())
        return;
    StartCatenation();
}

void MainDialog::OnBn_SelectSpecificFiles() {
    if (!pickers_.PickFilesInOrder("C:\\", "Click Correct Sequence of Splitted Files",
                                   Filter(kSelectionFilter, sizeof kSelectionFilter), catenationList_))
        return;
    firstPiecePath_.clear();
    explicitSelection_ = true;
    ListExplicitSelection();
}

void MainDialog::ListExplicitSelection() {
    ListBox list(Item(IDC_CAT_LIST));
    list.Reset();
    rejoinedPaths_.clear();
    for (std::string& path : catenationList_) {
        path = FullPath(path);
        list.Add(SelectionLine(path));
    }
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
        catenationList_.push_back(FullPath(piece.path));
        list.Add(PieceLine(piece.path, piece.size));
    }
}

void MainDialog::StartCatenation() {
    CatJob job;
    job.paths = catenationList_;
    job.explicitSelection = explicitSelection_;
    if (const std::optional<std::string> format = PlainNameFormat())
        job.plainNameFormat = *format;
    const auto result = std::make_shared<CatResult>();
    const auto rebuilt = std::make_shared<bool>(false);
    StartJob(
        IDC_START_CAT,
        [job, result, rebuilt, first = firstPiecePath_](const ProgressCallback& onProgress,
                                                        Messenger& messenger) mutable {
            // A set's pieces are checked against its recovery files first, and rebuilt when the user agrees.
            if (!job.explicitSelection) {
                switch (CheckAndRebuildPieces(first, onProgress, messenger, job.replaceAnswer)) {
                case PiecesBeforeJoin::Stop:
                    return;
                case PiecesBeforeJoin::Rebuilt: {
                    *rebuilt = true;
                    const auto pieces = DiscoverPieces(first, messenger);
                    if (!pieces)
                        return;
                    job.paths.clear();
                    for (const DiscoveredPiece& piece : *pieces)
                        job.paths.push_back(piece.path);
                    break;
                }
                case PiecesBeforeJoin::Join:
                    break;
                }
            }
            job.onProgress = onProgress;
            *result = CatFiles(job, messenger);
        },
        [this, result, rebuilt] {
            if (*rebuilt)
                FindPieces(); // the list shows the rebuilt pieces
            if (result->headerRead) {
                recordedName_ = result->recordedName;
                recordedCrcText_ = result->recordedCrc;
            }
            if (!result->written)
                return;
            ListBox list(Item(IDC_CAT_LIST));
            list.Add(PieceLine(result->outputPath, result->outputSize));
            rejoinedPaths_.push_back(result->outputPath);
            list.SetHorizontalExtent(kCatListExtent);
        });
}
