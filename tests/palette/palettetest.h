// The palette run inside the test process: a window that receives typed
// characters behind it, the palette's polls as the driver gets them, and a
// script of steps that runs on the poll ticks, also inside modal dialogs.
#ifndef TESTS_PALETTE_PALETTETEST_H
#define TESTS_PALETTE_PALETTETEST_H

#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>
#include "systemfacts.h"
#include "testsupport.h"
#include "kadenza.h"

// What button n's default types: "&&" is one "&".
std::wstring TypedDefault(int button);

// Polls seen by the driver since the last ClearPolls: request of each.
extern std::vector<DWORD> pollRequests;
// When non-zero, the reply of the next poll that asks for capture.
extern DWORD injectedReply;
// When non-zero, the reply of every poll, whatever it asks: a key that the
// driver hands the palette. keyRepliesGiven counts those replies.
extern DWORD keyReply;
extern int keyRepliesGiven;
// Steps run one per poll tick until each returns true.
void AddStep(std::function<bool()> step);
bool StepsDone();

// A visible top-level dialog of this thread holding the control id.
HWND FindDialogWith(int controlId);
void Click(HWND dialog, int controlId);
std::wstring ItemText(HWND dialog, int controlId);

class PaletteTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // The palette started as Kadenza starts, in front of the receiver.
    void StartPaletteHere();
    bool WaitPaletteEnded(DWORD timeoutMs = 10000);
    void Tap(int button);
    // The receiver's text as it is now.
    std::wstring Received();
    // Its text once everything typed before the call has arrived.
    std::wstring ReceivedWhenSettled();
    void ClearReceived();
    bool withDriver = true;
    HWND receiver = nullptr;
    HWND receiverEdit = nullptr;
};

#endif
