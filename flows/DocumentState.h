#pragma once
#include <QString>

// What the main window knows about the document besides its text: the format
// of the whole text and the entry that is open. The text itself lives only in
// the editor; a non-empty editor counts as unsaved work.
struct DocumentState {
    QString strFontName;
    qint32 lngFontSize = 0;
    bool ynFontBold = false;
    bool ynFontItalic = false;
    bool ynFontStrike = false;
    bool ynFontUnderline = false;
    bool ynStrongEncryption = false; // new keys encrypt in the strong form (a preference)
    qint64 lngEntryID = 0;           // the row id of the open entry; 0: no stored entry is open
    QString strEntryName;
    QString strEntryHint;
    QString strEntryText; // the entry as loaded, or the plain text just before encryption
};
