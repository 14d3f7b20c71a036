#include "dialogs/popinfo_win.h"

#include <shellapi.h>
#include <process.h>

#include <mutex>

#include "framework/paths_win.h"
#include "framework/text_win.h"
#include "operator_config.h"
#include "ui/image_win.h"
#include "web/datetext_win.h"

namespace dialogs {

namespace {

// Posted by the fetch thread when the decision and the picture are there.
constexpr UINT WM_NOTICE_READY = WM_APP + 62;
// How long the window waits for its worker: when it goes, for a fetch it has just stopped, and
// at the ready message, for a thread whose last act was that post. This thread also runs the
// desktop-wide keyboard hook, so no wait here may be longer.
constexpr DWORD kStopWaitMs = 1000;

constexpr UINT kPictureAndTextSkin = 143;
constexpr UINT kPictureOnlySkin = 146;
constexpr UINT kTextOnlySkin = 147;
constexpr UINT kSmallCloseImage = 144;
constexpr UINT kLargeCloseImage = 145;

constexpr COLORREF kTitleColor = RGB(19, 43, 67);
constexpr COLORREF kTextColor = RGB(30, 39, 46);
constexpr COLORREF kHoverColor = RGB(22, 122, 235);
constexpr COLORREF kColorKey = RGB(255, 0, 255);

const wchar_t kSection[] = L"Tamsolo";

std::atomic<int> g_shownAgain{0};

std::wstring ReadKey(const std::wstring& file, const wchar_t* key, DWORD chars) {
    if (file.empty()) return {};
    std::wstring value(chars + 1, L'\0');
    const DWORD got = ::GetPrivateProfileStringW(kSection, key, L"", &value[0], chars + 1, file.c_str());
    value.resize(got);
    return value;
}

void Place(HWND label, const RECT& r) {
    ::SetWindowPos(label, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

// What the fetch thread works on; shared with it, so a window that goes while the notice host
// is slow leaves the thread nothing dangling.
struct CPopInfoDlg::Job {
    std::wstring noticeAddress;
    std::wstring statisticsFile;
    std::wstring pictureFile;
    std::wstring today;
    HWND window = nullptr;
    net::DownloadHandles handles;

    // The ready message is posted under the lock, so once the window has set `abandoned` no
    // post can reach it (nor whatever window takes its handle later). `done` tells the real
    // ready message from one posted by anyone else.
    std::mutex lock;
    bool abandoned = false;
    bool done = false;

    // Results, read by the window once `done` is set.
    bool hasNotice = false;
    std::u16string accepted;
    tamsolo::NoticeRecord record;
};

FW_BEGIN_MESSAGE_MAP(CPopInfoDlg, tamsolo::ui::CDlgEx)
FW_ON_MESSAGE(WM_NOTICE_READY, OnNoticeReady)
FW_ON_MESSAGE(WM_TIMER, OnTimer)
FW_ON_MESSAGE(WM_SYSCOMMAND, OnSysCommand)
FW_ON_CONTROL(STN_CLICKED, IDC_POP_TITLE, OnLabelClicked)
FW_ON_CONTROL(STN_CLICKED, IDC_POP_TEXT, OnLabelClicked)
FW_ON_CONTROL(STN_CLICKED, IDC_POP_LINK, OnLabelClicked)
FW_END_MESSAGE_MAP()

CPopInfoDlg::CPopInfoDlg(HWND mainWindow)
    : tamsolo::ui::CDlgEx(IDD_POPINFO_DLG, mainWindow),
      noticeAddress(fw::W(TAMSOLO_NOTICE_HOST) + L"/notice/tamsolo.txt"),
      statisticsFile(fw::StatisticsFile()),
      pictureFile(fw::UserStateFile(L"PopWnd.jpg")) {}

CPopInfoDlg::~CPopInfoDlg() {
    StopFetch();
    if (m_hWnd) DestroyWindow();
}

int CPopInfoDlg::ShownAgain() { return g_shownAgain.load(); }

void CPopInfoDlg::ResetShownAgain() { g_shownAgain = 0; }

BOOL CPopInfoDlg::OnInitDialog() {
    tamsolo::ui::CDlgEx::OnInitDialog();
    // A tool window: no button on the task bar.
    LONG_PTR ex = ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
    ex = (ex & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW;
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, ex);
    titleHeight = 0;
    buttonSpacing = 0;
    showTitle = false;
    showIcon = false;
    // The layouts place the labels in the skin's pixels: their texts keep the skin's scale.
    LayOutAtSkinScale();
    picture_.SubclassDlgItem(IDC_POP_PICTURE, this);
    title_.SubclassDlgItem(IDC_POP_TITLE, this);
    text_.SubclassDlgItem(IDC_POP_TEXT, this);
    link_.SubclassDlgItem(IDC_POP_LINK, this);
    // Out of sight until there is something to show.
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE);

    // The notice host may be slow; this thread also runs the main window and its keyboard
    // hook, so the fetch happens elsewhere and the window lays itself out when it is done.
    job_ = std::make_shared<Job>();
    job_->noticeAddress = noticeAddress;
    job_->statisticsFile = statisticsFile;
    job_->pictureFile = pictureFile;
    job_->today = web::TodayText();
    job_->window = m_hWnd;
    auto* keep = new std::shared_ptr<Job>(job_);
    thread_.Reset(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, FetchThread, keep, 0, nullptr)));
    if (!thread_) {
        delete keep;
        job_->done = true;  // decided: no notice
        PostMessage(WM_NOTICE_READY);
    }
    return FALSE;
}

unsigned __stdcall CPopInfoDlg::FetchThread(void* param) {
    std::unique_ptr<std::shared_ptr<Job>> keep(static_cast<std::shared_ptr<Job>*>(param));
    Job& job = **keep;
    std::wstring fetched;
    if (net::HttpNoticeText(job.noticeAddress, &fetched, &job.handles)) {
        const std::wstring stored = ReadKey(job.statisticsFile, L"PopInfo", tamsolo::kStoredNoticeChars);
        const std::wstring flag = ReadKey(job.statisticsFile, L"PopEnable", 7);
        job.hasNotice = tamsolo::DecideNotice(fw::U(fetched), fw::U(stored), fw::U(flag), fw::U(job.today),
                                              &job.accepted, &job.record);
    }
    // A picture that does not arrive leaves the file as it was; the layout goes by the address.
    if (job.hasNotice && !job.record.picture.empty()) {
        net::HttpNoticePicture(fw::W(job.record.picture), job.pictureFile, &job.handles);
    }
    std::lock_guard<std::mutex> hold(job.lock);
    job.done = true;
    if (!job.abandoned) ::PostMessageW(job.window, WM_NOTICE_READY, 0, 0);
    return 0;
}

void CPopInfoDlg::StopFetch() {
    if (job_) {
        {
            std::lock_guard<std::mutex> hold(job_->lock);
            job_->abandoned = true;
        }
        job_->handles.Cancel();
    }
    // Closing the connection ends the fetch at once; a thread that still does not end keeps
    // its own share of the job and posts nothing.
    if (thread_) ::WaitForSingleObject(thread_.Get(), kStopWaitMs);
    thread_.Reset();
}

LRESULT CPopInfoDlg::OnNoticeReady(WPARAM, LPARAM) {
    if (decided_ || !job_) return 0;
    {
        std::lock_guard<std::mutex> hold(job_->lock);
        if (!job_->done) return 0;  // not from the worker: the fetch is still running
    }
    // The worker posted as its last act; it touches nothing of ours any more.
    if (thread_) ::WaitForSingleObject(thread_.Get(), kStopWaitMs);
    thread_.Reset();
    decided_ = true;
    if (job_) {
        hasNotice_ = job_->hasNotice;
        record_ = job_->record;
    }
    if (!hasNotice_) {
        ::ShowWindow(m_hWnd, SW_HIDE);
        PostMessage(WM_SYSCOMMAND, SC_MINIMIZE);  // which closes it
        return 0;
    }
    if (!statisticsFile.empty()) {
        ::WritePrivateProfileStringW(kSection, L"PopInfo", fw::W(job_->accepted).c_str(), statisticsFile.c_str());
    }
    WriteFlag(L"1");
    job_.reset();
    // Into the topmost band before the skin gives the window its shape: under Wine a later
    // move into it is ignored.
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    LayOut();
    PlaceAtCorner();
    ShowNotice();
    ::SetTimer(m_hWnd, kNoticeVisibleTimer, kNoticeVisibleMs, nullptr);
    return 0;
}

void CPopInfoDlg::LayOut() {
    layout_ = tamsolo::ChooseNoticeLayout(record_);
    if (layout_ != tamsolo::NoticeLayout::TextOnly) {
        int width = 0, height = 0;
        pictureImage_.Reset(tamsolo::ui::LoadImageFile(pictureFile, &width, &height));
    }
    const HMODULE module = fw::ResourceModule();
    const bool pictureOnly = layout_ == tamsolo::NoticeLayout::PictureOnly;
    borderWidth = pictureOnly ? 0 : 3;
    buttonRightMargin = pictureOnly ? 0 : 3;
    buttonTop = pictureOnly ? 1 : 3;
    const UINT skin = layout_ == tamsolo::NoticeLayout::PictureAndText ? kPictureAndTextSkin
                      : pictureOnly                                    ? kPictureOnlySkin
                                                                       : kTextOnlySkin;
    // The frame copies the close strip; ours goes at the end of this function.
    fw::Bitmap close(tamsolo::ui::LoadSkinImage(module, pictureOnly ? kLargeCloseImage : kSmallCloseImage));
    SetSkin(tamsolo::ui::LoadSkinImage(module, skin), true, false, close.Get());

    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    switch (layout_) {
        case tamsolo::NoticeLayout::PictureAndText: LayOutPictureAndText(client); break;
        case tamsolo::NoticeLayout::PictureOnly: LayOutPictureOnly(client); break;
        case tamsolo::NoticeLayout::TextOnly: LayOutTextOnly(client); break;
    }
    if (!pictureOnly) {
        StyleAsLink(text_);
        StyleAsLink(link_);
    }
    for (tamsolo::ui::CStaticEx* label : {&picture_, &title_, &text_, &link_}) {
        if (label->m_hWnd) ::InvalidateRect(label->m_hWnd, nullptr, FALSE);
    }
}

void CPopInfoDlg::LayOutPictureAndText(const RECT& client) {
    Place(picture_.m_hWnd, RECT{15, 67, 15 + 75, 67 + 80});
    picture_.SetImage(pictureImage_.Get());
    picture_.text.clear();
    ::ShowWindow(picture_.m_hWnd, SW_SHOWNA);
    StyleTitle(RECT{100, 48, client.right - 20, 63});
    text_.text = fw::W(tamsolo::ShortenNoticeText(record_.text, tamsolo::kShortTextWithPicture));
    Place(text_.m_hWnd, RECT{100, 68, client.right - 16, 81});
    Place(link_.m_hWnd, RECT{195, 168, 195 + 42, 168 + 13});
}

void CPopInfoDlg::LayOutPictureOnly(const RECT& client) {
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(m_hWnd, kColorKey, 0, LWA_COLORKEY);
    Place(text_.m_hWnd, RECT{-3, 22, client.right, client.bottom});
    text_.text.clear();
    text_.SetImage(pictureImage_.Get());
    text_.linkCursor = true;
    text_.underline = false;
    ::ShowWindow(text_.m_hWnd, SW_SHOWNA);
}

void CPopInfoDlg::LayOutTextOnly(const RECT& client) {
    StyleTitle(RECT{client.left, 45, client.right, 60});
    text_.text = fw::W(tamsolo::ShortenNoticeText(record_.text, tamsolo::kShortTextAlone));
    Place(text_.m_hWnd, RECT{18, 65, client.right - 16, 78});
    Place(link_.m_hWnd, RECT{195, 145, 195 + 42, 145 + 13});
}

void CPopInfoDlg::StyleTitle(const RECT& rect) {
    Place(title_.m_hWnd, rect);
    // The title has one row between the window's top and the text: a title longer than the row
    // ends in "..." rather than wrapping under the text label.
    const LONG_PTR style = ::GetWindowLongPtrW(title_.m_hWnd, GWL_STYLE);
    ::SetWindowLongPtrW(title_.m_hWnd, GWL_STYLE, style | SS_CENTERIMAGE | SS_ENDELLIPSIS);
    title_.text = fw::W(record_.title);
    title_.textColor = kTitleColor;
    title_.fontWeight = FW_BOLD;
    title_.linkCursor = true;
    title_.underline = false;
    title_.hoverColor = kHoverColor;
    title_.hoverEnabled = true;
    ::ShowWindow(title_.m_hWnd, SW_SHOWNA);
}

void CPopInfoDlg::StyleAsLink(tamsolo::ui::CStaticEx& label) {
    label.textColor = kTextColor;
    label.hoverColor = kHoverColor;
    label.hoverEnabled = true;
    label.linkCursor = true;
    label.underline = false;
}

void CPopInfoDlg::PlaceAtCorner() {
    RECT work{0, 0, 1024, 768};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT own{};
    ::GetWindowRect(m_hWnd, &own);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, work.right - (own.right - own.left), work.bottom - (own.bottom - own.top), 0,
                   0, SWP_NOSIZE | SWP_NOACTIVATE);
}

bool CPopInfoDlg::MainWindowVisible() const { return m_parent && ::IsWindowVisible(m_parent); }

// Shown without taking the keyboard from the game.
void CPopInfoDlg::ShowNotice() {
    if (MainWindowVisible()) ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
}

LRESULT CPopInfoDlg::OnTimer(WPARAM id, LPARAM) {
    if (id == kNoticeVisibleTimer) {
        ::KillTimer(m_hWnd, kNoticeVisibleTimer);
        if (g_shownAgain < record_.repeat) {
            ::SetTimer(m_hWnd, kNoticePauseTimer, kNoticePauseMs, nullptr);
            ::ShowWindow(m_hWnd, SW_HIDE);
        } else {
            Close();
            WriteFlag(L"1");  // not dismissed: shown again at the next start
        }
    } else if (id == kNoticePauseTimer) {
        ++g_shownAgain;
        ::KillTimer(m_hWnd, kNoticePauseTimer);
        ::SetTimer(m_hWnd, kNoticeVisibleTimer, kNoticeVisibleMs, nullptr);
        ShowNotice();  // while the launcher is hidden this showing passes unseen
    }
    return 0;
}

LRESULT CPopInfoDlg::OnSysCommand(WPARAM w, LPARAM) {
    switch (w & 0xFFF0) {
        case SC_CLOSE:
            Close();
            WriteFlag(L"0");  // dismissed
            return 0;
        case SC_MINIMIZE:
            Close();
            return 0;
        default:
            return Default();
    }
}

void CPopInfoDlg::OnLabelClicked() {
    const std::u16string link = record_.link;
    Close();
    // Only a web address: a notice must never be able to start a program or open a share.
    if (tamsolo::IsWebLink(link)) {
        ::ShellExecuteW(nullptr, L"open", fw::W(link).c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
    }
    WriteFlag(L"0");
}

void CPopInfoDlg::Close() {
    StopFetch();
    if (!m_hWnd) return;
    ::KillTimer(m_hWnd, kNoticeVisibleTimer);
    ::KillTimer(m_hWnd, kNoticePauseTimer);
    DestroyWindow();
}

void CPopInfoDlg::WriteFlag(const wchar_t* value) {
    // An empty name would send the key to the system's own WIN.INI.
    if (statisticsFile.empty()) return;
    ::WritePrivateProfileStringW(kSection, L"PopEnable", value, statisticsFile.c_str());
}

std::unique_ptr<CPopInfoDlg> OpenNotice(HWND mainWindow) {
    auto notice = std::make_unique<CPopInfoDlg>(mainWindow);
    if (!notice->Create(mainWindow)) return nullptr;
    return notice;
}

}  // namespace dialogs
