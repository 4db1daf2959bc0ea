#pragma once
// The editor's face for the notices of saves put back from their journal
// (model/SaveJournal.h): the one-button message dialog. A reader may run anywhere, even
// inside a dialog's handler or off the main thread, so each notice waits for the event
// loop's next turn.

// Once, where the application starts.
void InstallJournalNotices();
