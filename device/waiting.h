#pragma once

// Waits without freezing the screen: windows keep painting, user input waits until the end.
void PaintedWait(int ms);
