// What each control of one dialog shows, kept beside the toolkit's own
// widgets so that a thread other than the GUI thread can tell, without
// crossing to it, that a write would change nothing. The GUI thread is the
// only writer once the dialog is built: it notes every text and check state
// it gives a control, whoever asked, and every click that toggles a box.
// Any thread may read. No toolkit types: every windowing host can use it.
#pragma once
#include <mutex>
#include <string>
#include <vector>

namespace platform {

struct ShownControl {
    int id;
    std::string text;
    bool checked;
};

struct ControlRecord {
    mutable std::mutex mutex;  // held only to copy or compare one entry
    std::vector<ShownControl> controls;  // in template order; the first of an id counts
    bool closed = false;  // the dialog's window is gone: writes change nothing
};

// While the dialog is built, before any other thread sees it.
void RecordControl(ControlRecord* record, int id, const char* text, bool checked);

// True when writing would change nothing on screen: the control already
// shows this, the dialog lacks id (or it is -1), or its window is gone.
bool ShowsText(const ControlRecord& record, int id, const char* text);
bool ShowsCheck(const ControlRecord& record, int id, bool checked);

// GUI thread: what a control shows now.
void NoteText(ControlRecord* record, int id, const char* text);
void NoteCheck(ControlRecord* record, int id, bool checked);
void NoteClosed(ControlRecord* record);

}  // namespace platform
