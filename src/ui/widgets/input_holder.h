#pragma once
// A control that can hold input the user typed but has not handed to its table yet: an
// open cell editor, a memo being typed into. Whoever acts on the record (the navigator's
// post, a save, the program's end) asks it to hand the input over first; cancelling the
// record makes it forget the input. The table never asks for it itself.
namespace ui {

class InputHolder {
public:
    virtual ~InputHolder() = default;
    // Hands pending input to the table. False when the table refused it: the refusal has
    // been told, and the typed text stays where it is, to be corrected.
    virtual bool CommitInput() = 0;
    // Forgets pending input; the control shows the table's value again.
    virtual void DiscardInput() = 0;
};

} // namespace ui
