// Range checks for values typed into the advanced fields before they reach the stack.
#pragma once

class TunerSettings;

// 0 when every value is within its meaning; otherwise the id of the string that explains the
// first value out of range, with the id of the control that shows it in *control (may be null).
// An MTU must be 1 to 65535, a time to live 1 to 255, each on/off flag 0 or 1.
unsigned check_values(const TunerSettings &settings, int *control);
