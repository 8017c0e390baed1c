// Fendrik's main dialog: the state both halves share, and every handler and
// routine of the split half, the catenate half and the list boxes' menus.
// Definitions are split by area: main_dialog.cpp and one *_handlers.cpp per area.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/messages.h"
#include "ui/arrival_rules.h"
#include "ui/framework/background_job.h"
#include "ui/framework/dialog.h"
#include "ui/framework/message_map.h"
#include "ui/pickers.h"

struct SplitJob;
struct SplitResult;
class RecoveryWriter;

// Posted at the end of the dialog's initialisation when files were named on
// the command line: they are opened once the window shows, so that any message
// about them has its owner on screen.
inline constexpr UINT kOpenStartFilesMessage = kFirstWindowMessage;

class MainDialog : public Dialog {
public:
    MainDialog(Messenger& messenger, Pickers& pickers);
    ~MainDialog() override;

    // Files named on the command line, opened once the dialog is up.
    void SetStartFiles(std::vector<std::string> paths);

    // The shared state, for the code of both halves and for tests.
    int32_t SplitSize() const { return splitSize_; }
    const std::string& LargeFileName() const { return largeFileName_; }
    const std::string& RecordedName() const { return recordedName_; }
    const std::string& FirstPiecePath() const { return firstPiecePath_; }
    // The catenation list is a selection made file by file (and the first-piece path empty).
    bool ExplicitSelection() const { return explicitSelection_; }
    const std::vector<std::string>& CatenationList() const { return catenationList_; }
    const std::vector<std::string>& RejoinedPaths() const { return rejoinedPaths_; }
    const std::vector<std::string>& SplitPaths() const { return splitPaths_; }
    const std::string& StoredCrcText() const { return storedCrcText_; }
    const std::string& RecordedCrcText() const { return recordedCrcText_; }
    bool WithoutCrc() const { return withoutCrc_; }
    bool SelfCatenate() const { return selfCatenate_; }
    HICON IconHandle() const { return icon_; }

    // Split half: recomputes the split count shown in IDC_SPLIT_COUNT.
    void UpdateSplitCount();
    // Shows the large file's size in IDC_FILE_SIZE and starts measuring its CRC-32 as a
    // job, which fills IDC_FILE_CRC and the stored CRC text when it ends. False (after
    // telling the user why) when the file has no size and nothing was started.
    bool OnBn_SizeAndCrc();
    // Refills the split list box with the "_Split#*" files beside the large file.
    void ListPieces(const std::string& largeFileName);

    // Catenate half: lists the set of the first piece; joins the catenation list.
    void FindPieces();
    void StartCatenation();

    // List-box menus: file operations on the files that the selected entries of
    // list box listId named when they were listed; entry moves and file information.
    void CopyFiles(int listId);
    void MoveFiles(int listId);
    void DeleteFiles(int listId);
    void MoveEntryUp();
    void MoveEntryDown();
    void ShowPieceHeader();
    void ShowSizeAndCrc();
    void ShowPieceStates();

    // Long jobs (split, join, CRC-32) run on a thread of their own while the window stays live.
    bool JobRunning() const { return job_.Running(); }
    // Handles messages until the running job, if any, has ended and its results are shown.
    void WaitForJob() { job_.Wait(); }

private:
    BOOL OnInitDialog() override;
    std::optional<INT_PTR> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    static const MessageMapEntry<MainDialog> kMessageMap[];

    // The dialog's own window messages.
    BOOL OnPaint();
    HICON OnQueryDragIcon() const;

    // Split half: inputs.
    void OnBn_PickLargeFile();
    void OnEn_LargeFileChange();
    void OnEn_SplitSizeChange();
    void OnBn_SizeFloppy();
    BOOL OnVScroll(int code, unsigned position, HWND sender);
    void OnBn_WithoutCrc();
    void OnBn_SelfCatenate();

    // Split half: the split.
    void OnBn_StartSplit();
    // Puts the catstub image into job; false (after telling the user) when it cannot be carried.
    bool TakeStubImage(SplitJob& job);
    // Shows what a split left: the CRC it took, and the pieces written.
    void ShowSplitResult(const SplitResult& result, const std::string& largeFile, int64_t size,
                         const RecoveryWriter* recovery);

    // Jobs: startButton (0 for none) reads "Cancel" while work runs and every other input is
    // disabled; onDone shows the results on the window's thread afterwards.
    void StartJob(int startButton, BackgroundJob::Work work, std::function<void()> onDone);
    // What the window does with the user's input while a job runs; empty: not for the job.
    std::optional<INT_PTR> OnMessageDuringJob(UINT message, WPARAM wParam, LPARAM lParam);
    void EnableInputs(bool enable);

    // Catenate half.
    void OnEn_FirstPieceChange();
    void OnBn_PickFirstPiece();
    void OnBn_StartCat();
    void OnBn_SelectSpecificFiles();

    // Files from outside: dropped, or named on the command line.
    BOOL OnDropFiles(HDROP drop);
    void OnApp_OpenStartFiles();
    void OpenFiles(DialogHalf half, const std::vector<std::string>& paths);
    void TakeLargeFile(const std::string& path);
    void TakeFirstPiece(const std::string& path);
    void TakeExplicitSelection(const std::vector<std::string>& paths);
    void ListExplicitSelection();

    // List-box menus.
    BOOL OnContextMenu(HWND window, POINT screenPoint);
    void OnMenu_SplitCopy();
    void OnMenu_SplitMove();
    void OnMenu_SplitDelete();
    void OnMenu_CatCopy();
    void OnMenu_CatMove();
    void OnMenu_CatDelete();

    Pickers& pickers_;

    // The shared state; see the accessors above.
    int32_t splitSize_ = 0;
    std::string largeFileName_;
    std::string recordedName_;
    std::string firstPiecePath_;
    // Every assignment of firstPiecePath_ ends a selection made file by file.
    bool explicitSelection_ = false;
    std::vector<std::string> catenationList_;
    // Full paths of the rejoined files whose lines follow the catenation list's
    // in IDC_CAT_LIST: its entry i names catenationList_[i], or past the end of
    // that list rejoinedPaths_[i - catenationList_.size()]. The menus act on
    // these paths, never on a name rebuilt from a folder.
    std::vector<std::string> rejoinedPaths_;
    // Full path of every file that IDC_SPLIT_LIST shows, entry for entry, made
    // when it was listed: a later change of folder or name cannot redirect them.
    std::vector<std::string> splitPaths_;
    std::string storedCrcText_;
    std::string recordedCrcText_;
    bool withoutCrc_ = false;
    bool selfCatenate_ = false;
    HICON icon_; // shared resource icon: nothing to free
    std::vector<std::string> startFiles_;

    // The running job's start button and its text before it read "Cancel".
    int jobButton_ = 0;
    std::string jobButtonText_;
    bool closeAfterJob_ = false;
    // Last: it goes first, while everything its job's results touch still exists.
    BackgroundJob job_;
};
