// vornakdsn --check DATABASE-PATH: whether the data source is as a run for the path leaves
// it, told without changing anything: no registry value, no event, no file moved, no box.
#ifndef VORNAKDSN_CHECK_H
#define VORNAKDSN_CHECK_H

#include "advanced_services.h"

// One line on standard output when the data source is right, else one for each difference,
// after a line naming the users whose own data source of the name hides it; a refused path
// or an unreadable registry on standard error. registry is null where the advanced services
// could not be bound. Returns the exit status (see outcome.h).
int CheckDataSource(const AdvancedServices* registry, const char* databasePath);

#endif
