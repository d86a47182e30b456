#pragma once

// Runs until the quit message; returns its exit code.
int RunMessageLoop();
// One pass of the keyboard poll that runs whenever the queue is empty.
void PollKeyboard();
