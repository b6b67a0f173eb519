// The record an earlier installation of the product left in the registry: a product installed
// again over itself, or over what an uninstall stopped part-way left behind. Its items are carried
// into the new record, so that one uninstall removes what every installation created.
#pragma once

#include "sdk/setup_info.h"

// Copies into carried each item of earlier that current does not hold (the same kind and text,
// letter case ignored), once each, in earlier's order. When memory for the comparison is short,
// every item of earlier is carried: a duplicate only costs a lookup at uninstall time.
void carry_over_items(const ItemList<UninstallInfo> &current, const ItemList<UninstallInfo> &earlier,
                      ItemList<UninstallInfo> *carried);
