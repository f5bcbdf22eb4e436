#pragma once

// The pictures and the help page are compiled into the widget library; a static library keeps
// them only when someone asks for them, so every user of a resource calls this first.
void InitAppResources();
