// The values found on the first start, kept in the product key.
#pragma once

class TunerSettings;

// On the first start ("Installed" is not 1) writes the five fields as "Parm1" to "Parm5" and then
// "Installed" = 1 to the product key; later starts leave the key as it is.
void SaveOriginals(const TunerSettings &settings);
