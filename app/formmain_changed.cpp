// The note changed by another program while BriskJot runs: reloaded when nothing here is
// unsaved, otherwise kept beside the note by the next save, which then writes the memo.
#include "app/formmain.h"
#include "app/globals.h"
#include "app/noteguard.h"
#include "app/notewatch.h"
#include "base/error.h"
#include "base/filesys.h"

namespace {

constexpr char kCopyKeptTitle[] = "BriskJot.txt was changed by another program";
// The name first, so a tip of a few dozen letters still shows it. Nothing of the save itself,
// which may yet fail and then says so in its own box.
constexpr char kCopyKeptText[] = "Its version is kept as\n";
constexpr size_t kBalloonTextLimit = 255;
constexpr unsigned kNoteChangedTimerMs = 250;
constexpr int kReadRetries = 20;  // a writer may hold the note for some seconds

}  // namespace

void TFormMain::WatchNoteProc() {
    // The old guard lets go of the note file before the new one takes it.
    NoteWatch1.reset();
    NoteGuard1.reset();
    NoteGuard1 = std::make_unique<TNoteGuard>(NoteFilePath);
    NoteGuard1->OnCopyKept = [this](const std::string& copyPath) { NoteCopyKept(copyPath); };
    NoteWatch1 = std::make_unique<TFolderWatch>(ExtractFilePath(NoteFilePath),
                                                [this] { NoteChangedElsewhereProc(); });
}

void TFormMain::NoteChangedElsewhereProc() {
    noteReadRetries_ = 0;
    ReloadChangedNoteProc();
}

void TFormMain::ReloadChangedNoteProc() {
    // Unsaved text waits for its save, which keeps the other version.
    if (!NoteGuard1 || !TextSaved || NoteGuard1->Check() != noteidentity::Change::Elsewhere) return;
    notecodec::Decoded note;
    try {
        note = notefile::ReadNote(NoteFilePath);
    } catch (const bj::Error&) {
        // Still held by its writer, which may let go of it without a change to tell us.
        if (noteReadRetries_++ < kReadRetries) StartNoteChangedTimer();
        return;
    }
    noteReadRetries_ = 0;
    std::u16string().swap(loadedNote_);  // this read is newer than one still waiting
    const int start = Memo1->SelStart(), end = start + Memo1->SelLength();
    const LRESULT topLine = SendMessageA(Memo1->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0);
    if (!Memo1->SetText(note.text)) {
        // The memo keeps what it had; the next save first keeps the file's bytes as the backup.
        MemoHoldsWholeNote = false;
        return;
    }
    MemoHoldsWholeNote = !note.cut;
    NoteEncoding = note.encoding;
    Memo1->SetSel(start, end);  // the control keeps both within the new text
    SendMessageA(Memo1->Handle(), EM_LINESCROLL, 0, topLine);
    Memo1->EmptyUndoBuffer();
    MenuSave.SetEnabled(false);
    TextSaved = true;
    ToggleSystemTrayIconProc();
    ToggleMenuClearProc();
    if (Memo1->Empty()) CloseOwnFindDialog();
    FollowMemoText();
}

void TFormMain::NoteCopyKept(const std::string& copyPath) {
    // Shown after the save: the shell is another process, and waiting on it between the copy
    // and the replace would widen the gap in which yet another version could arrive.
    noteCopyPath_ = copyPath;
    StartNoteChangedTimer();
}

void TFormMain::StartNoteChangedTimer() {
    if (!TimerNoteChanged) {
        TimerNoteChanged = std::make_unique<fw::TTimer>(kNoteChangedTimerMs);
        TimerNoteChanged->OnTimer = [this] { TimerNoteChangedTimer(); };
    }
    TimerNoteChanged->SetEnabled(true);
}

void TFormMain::TimerNoteChangedTimer() {
    TimerNoteChanged->SetEnabled(false);
    if (!noteCopyPath_.empty()) {
        const std::string folder = ExtractFilePath(noteCopyPath_);
        const std::string named = kCopyKeptText + noteCopyPath_.substr(folder.size());
        std::string text = named + "\nin " + folder;
        if (text.size() > kBalloonTextLimit) text = named + "\nbeside the note.";  // deep folder
        TrayIcon1->ShowBalloon(kCopyKeptTitle, text);
        noteCopyPath_.clear();
    }
    if (noteReadRetries_ > 0) ReloadChangedNoteProc();
}
