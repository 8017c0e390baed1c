// The main dialog's frame: construction, initialisation, the minimised icon,
// and the message map that sends every event to its handler.
#include "ui/main_dialog.h"

#include "core/piece_name.h"

#include <shellapi.h>

#include "ui/split_inputs.h"
#include "ui/framework/controls.h"
#include "ui/framework/paint_context.h"
#include "ui/resource.h"

namespace {

template <auto Member> constexpr auto Command = &CommandHandler<MainDialog, Member>;

} // namespace

// Button events are BN_CLICKED, edit events EN_CHANGE; menu commands carry code 0.
// IDOK and IDCANCEL are not here: the dialog's default ends on both.
const MessageMapEntry<MainDialog> MainDialog::kMessageMap[] = {
    {WM_PAINT, 0, 0, [](MainDialog& d, WPARAM, LPARAM) -> INT_PTR { return d.OnPaint(); }},
    {WM_QUERYDRAGICON, 0, 0,
     [](MainDialog& d, WPARAM, LPARAM) { return reinterpret_cast<INT_PTR>(d.OnQueryDragIcon()); }},
    {WM_COMMAND, IDC_PICK_LARGE_FILE, BN_CLICKED, Command<&MainDialog::OnBn_PickLargeFile>},
    {WM_COMMAND, IDC_START_SPLIT, BN_CLICKED, Command<&MainDialog::OnBn_StartSplit>},
    {WM_COMMAND, IDC_SPLIT_SIZE, EN_CHANGE, Command<&MainDialog::OnEn_SplitSizeChange>},
    {WM_COMMAND, IDC_SIZE_FLOPPY, BN_CLICKED, Command<&MainDialog::OnBn_SizeFloppy>},
    {WM_VSCROLL, 0, 0,
     [](MainDialog& d, WPARAM w, LPARAM l) -> INT_PTR {
         return d.OnVScroll(LOWORD(w), HIWORD(w), reinterpret_cast<HWND>(l));
     }},
    {WM_COMMAND, IDC_SIZE_AND_CRC, BN_CLICKED, Command<&MainDialog::OnBn_SizeAndCrc>},
    {WM_COMMAND, IDC_LARGE_FILE, EN_CHANGE, Command<&MainDialog::OnEn_LargeFileChange>},
    {WM_CONTEXTMENU, 0, 0,
     [](MainDialog& d, WPARAM w, LPARAM l) -> INT_PTR {
         const POINT p{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
         return d.OnContextMenu(reinterpret_cast<HWND>(w), p);
     }},
    {WM_COMMAND, IDM_SPLIT_DELETE, 0, Command<&MainDialog::OnMenu_SplitDelete>},
    {WM_COMMAND, IDM_SPLIT_MOVE, 0, Command<&MainDialog::OnMenu_SplitMove>},
    {WM_COMMAND, IDM_SPLIT_COPY, 0, Command<&MainDialog::OnMenu_SplitCopy>},
    {WM_COMMAND, IDC_FIRST_PIECE, EN_CHANGE, Command<&MainDialog::OnEn_FirstPieceChange>},
    {WM_COMMAND, IDC_PICK_FIRST_PIECE, BN_CLICKED, Command<&MainDialog::OnBn_PickFirstPiece>},
    {WM_COMMAND, IDC_START_CAT, BN_CLICKED, Command<&MainDialog::OnBn_StartCat>},
    {WM_COMMAND, IDC_SELECT_SPECIFIC, BN_CLICKED, Command<&MainDialog::OnBn_SelectSpecificFiles>},
    {WM_COMMAND, IDM_CAT_DELETE, 0, Command<&MainDialog::OnMenu_CatDelete>},
    {WM_COMMAND, IDM_CAT_MOVE, 0, Command<&MainDialog::OnMenu_CatMove>},
    {WM_COMMAND, IDM_CAT_COPY, 0, Command<&MainDialog::OnMenu_CatCopy>},
    {WM_COMMAND, IDM_CAT_FILE_INFO, 0, Command<&MainDialog::ShowPieceHeader>},
    {WM_COMMAND, IDM_CAT_SIZE_AND_CRC, 0, Command<&MainDialog::ShowSizeAndCrc>},
    {WM_COMMAND, IDM_CAT_CHECK_PIECES, 0, Command<&MainDialog::ShowPieceStates>},
    {WM_COMMAND, IDC_WITHOUT_CRC, BN_CLICKED, Command<&MainDialog::OnBn_WithoutCrc>},
    {WM_COMMAND, IDM_CAT_POS_UP, 0, Command<&MainDialog::MoveEntryUp>},
    {WM_COMMAND, IDC_SELF_CATENATE, BN_CLICKED, Command<&MainDialog::OnBn_SelfCatenate>},
    {WM_COMMAND, IDM_CAT_POS_DOWN, 0, Command<&MainDialog::MoveEntryDown>},
    {WM_DROPFILES, 0, 0,
     [](MainDialog& d, WPARAM w, LPARAM) -> INT_PTR { return d.OnDropFiles(reinterpret_cast<HDROP>(w)); }},
    {kOpenStartFilesMessage, 0, 0, Command<&MainDialog::OnApp_OpenStartFiles>},
};

MainDialog::MainDialog(Messenger& messenger, Pickers& pickers)
    : Dialog(IDD_FENDRIK, messenger), pickers_(pickers),
      icon_(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_FENDRIK))), job_(messenger) {}

std::optional<INT_PTR> MainDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const std::optional<INT_PTR> handled = OnMessageDuringJob(message, wParam, lParam))
        return handled;
    return DispatchToMap(kMessageMap, *this, message, wParam, lParam);
}

BOOL MainDialog::OnInitDialog() {
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    // Its change handler runs right here, while the large-file name is still empty.
    SetItemText(IDC_SPLIT_SIZE, std::to_string(kFloppySplitSize));
    splitSize_ = kFloppySplitSize;
    largeFileName_.clear();
    recordedName_.clear();
    firstPiecePath_.clear();
    explicitSelection_ = false;
    catenationList_.clear();
    rejoinedPaths_.clear();
    splitPaths_.clear();
    storedCrcText_.clear();
    recordedCrcText_.clear();
    withoutCrc_ = false;
    selfCatenate_ = false;
    UpDown(Item(IDC_SIZE_STEP)).SetRange(kFirstSizeStep, kLastSizeStep);
    UpDown(Item(IDC_RECOVERY_STEP)).SetRange(0, kMaxPieces);
    SetItemText(IDC_RECOVERY_COUNT, "0");
    SetItemText(IDC_SPLIT_COUNT, SplitCountText(std::nullopt));
    DragAcceptFiles(Handle(), TRUE);
    if (!startFiles_.empty())
        PostMessageA(Handle(), kOpenStartFilesMessage, 0, 0);
    return TRUE;
}

BOOL MainDialog::OnPaint() {
    if (!IsIconic(Handle()))
        return FALSE;
    PaintContext paint(Handle());
    SendMessageA(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.Dc()), 0);
    const int iconWidth = GetSystemMetrics(SM_CXICON);
    const int iconHeight = GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(Handle(), &client);
    const int x = (client.right - client.left - iconWidth + 1) / 2;
    const int y = (client.bottom - client.top - iconHeight + 1) / 2;
    DrawIcon(paint.Dc(), x, y, icon_);
    return TRUE;
}

HICON MainDialog::OnQueryDragIcon() const {
    return icon_;
}
