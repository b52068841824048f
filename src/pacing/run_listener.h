#pragma once
// What the pacing tells the one who follows a test (a group test): the run has begun; the
// run has ended (STOP or the last shuttle), told from inside the pacing's own handlers; and,
// at a START while a test runs, whether it may begin anew.
class RunListener {
public:
    virtual ~RunListener() = default;
    virtual void RunStarted() = 0;
    virtual void RunStopped() = 0;
    // False keeps the run as it is.
    virtual bool MayRestart() = 0;
};
