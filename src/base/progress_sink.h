#pragma once

// Receives the position of a 0..100 progress display.
//
// Long synchronous jobs (making a signal, writing a file) post positions here
// at fixed iteration counts. Positions outside 0..100 are passed as computed;
// the display clamps them. Called on the thread that runs the job.
class IProgressSink
{
public:
    virtual ~IProgressSink() = default;
    virtual void SetPos(int position) = 0;
};
