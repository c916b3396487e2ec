// The data source vornakDsnStore as every ODBC program finds it: in the registry, as the
// program (a 32-bit one) sees it, which under WoW64 is the 32-bit view that the installer
// writes. Read, not through the installer, so that reading needs no installer library, and
// kept as it is stored, so that it can be written back as it was.
#ifndef VORNAKDSN_DATA_SOURCE_H
#define VORNAKDSN_DATA_SOURCE_H

#include "advanced_services.h"
#include "attribute_list.h"
#include "snapshot.h"

// The value that holds the database path.
const WCHAR kPathValueName[] = L"" VORNAKDSN_PATH_KEYWORD;

struct DataSourceReading {
    // Its listing under "ODBC Data Sources", then its key with every subkey: what the
    // installer's removal deletes. The keys' paths are below HKEY_LOCAL_MACHINE.
    Snapshot stored;
    // The file that the installer has registered for the Access driver, environment strings
    // expanded; null when the driver is not registered.
    WCHAR* registeredDriverFile;
};

// Reads the data source; registry is null where the advanced services could not be bound.
// False, with the registry's error code in *error, when it cannot be read; nothing is left to
// release then.
bool ReadDataSource(const AdvancedServices* registry, DataSourceReading* reading, LONG* error);

void ReleaseDataSource(DataSourceReading* reading);

// Whether there is a data source at all: a key, or a listing.
bool DataSourceExists(const DataSourceReading& reading);

// The value name of the data source's own key (not of a subkey's) as text, or null where it
// has none that is a string.
const WCHAR* FindText(const DataSourceReading& reading, const WCHAR* name);

enum DifferenceKind {
    kDataSourceMissing,
    kNotListed,
    kListedWithAnotherDriver,  // there: that driver
    kValueMissing,             // name: the value; wanted: what it should be
    kValueDiffers,             // name, there, wanted
    kDriverFileDiffers,        // there: the Driver value; wanted: the registered file
    kDriverNotRegistered,      // there: the Driver value, or null
    kDifferenceKinds
};

struct DataSourceDifference {
    DifferenceKind kind;
    const WCHAR* name;
    const WCHAR* there;
    const WCHAR* wanted;
    WCHAR number[12];  // a number's text, where there points
};

// The most differences there can be: the listing, the path, the fixed attributes, the driver.
const int kMaxDifferences = 6;

// How the data source differs from what a run for databasePath leaves; the count. The texts
// point into reading, databasePath and the differences themselves.
int CompareDataSource(const DataSourceReading& reading, const WCHAR* databasePath,
                      DataSourceDifference (&differences)[kMaxDifferences]);

// What became of the data source that was there before a refused add request.
enum PutBack {
    kNothingToPutBack,  // it is as it was: there was none, or the removal and the add left it
    kPutBack,
    kNotPutBack,        // there is none now
    kPartlyPutBack,     // what is there now is not what was there, or cannot be read
    kLeftBehind,        // there was none, and what the refused add left cannot be taken away
    kUnreadBeforeRemoval,  // it could not be read before the run changed it
    kPutBackKinds
};

// Sets the data source back to what before found, listing and all: a rollback of whatever the
// installer's removal and its refused add did, which the driver's setup, having just refused
// the new one, need not take part in. Where before found none, what the add left is taken away.
// What is there then is read back to tell which it became.
PutBack PutBackDataSource(const AdvancedServices& registry, const DataSourceReading& before);

// The loaded user profiles with a user data source of the same name, which hides this one
// from their users: "HKEY_USERS\<SID>" each, comma-separated, into list; false when none has
// one. A list longer than size names the first that fit.
bool FindUserDataSources(const AdvancedServices& registry, WCHAR* list, int size);

#endif
