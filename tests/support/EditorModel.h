#pragma once
// A model check of the editor, for its test: steps of what a user does
// (typing, deleting, line breaks, undo and redo, the clipboard, caret keys,
// mouse clicks and drags, input methods, drops, the context menu) and of what
// the program does (setText, SelStart/SelLength, Find, the format calls),
// applied to a shown editor through real events. Beside the editor a model
// keeps the text, the selection and the undo history as plain values; after
// every step they are compared with what the editor says and with what its
// document holds, and the rule of the chunks is checked: a soft break lies
// only inside a line, between chunks of bounded length, after a space in a
// word-wrapped text and where a row ends in a ciphertext.
#include <QList>
#include <QString>

namespace editormodel {

// The steps, as many to a line as fit.
// clang-format off
enum class Op : quint8 {
    Type, Enter, ShiftEnter, Backspace, Delete, WordBackspace, WordDelete, Undo, Redo, SelectAll, Copy, Cut,
    Paste, Left, Right, ShiftLeft, ShiftRight, Home, End, ShiftEnd, Up, Down, ShiftDown, WordLeft, WordRight,
    ShiftWordRight, DocStart, DocEnd, ShiftDocEnd, PlaceNearBreak, SelectFromBreak, PlaceAt, SelectAt, Click,
    Drag, DoubleClick, TripleClick, Find, SetText, InputMethod, Drop, MenuCut, MenuDelete, MenuPaste, MenuUndo,
    Format, Resize,
};
// clang-format on

// A step's numbers choose what it acts on (a position, a point, a size) once
// it runs, so that a sequence still means something with steps left out.
struct Step {
    Op op;
    quint32 a = 0, b = 0;
    QString text = {};
};

// The seed's steps, the first of them setting a text to start from.
QList<Step> randomSteps(quint32 seed, int count);
// Runs the steps on a fresh editor. Empty if every step kept to the model;
// otherwise the failure, met again by the fewest of the steps that still
// fail, with what each of those did.
QString failure(const QList<Step>& steps);

} // namespace editormodel
