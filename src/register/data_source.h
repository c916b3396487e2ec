// The data source vornakDsnStore as every ODBC program finds it: in the registry, as the
// program (a 32-bit one) sees it, which under WoW64 is the 32-bit view that the installer
// writes. Read, not through the installer, so that reading needs no installer library.
#ifndef VORNAKDSN_DATA_SOURCE_H
#define VORNAKDSN_DATA_SOURCE_H

#include <windows.h>

// One value of the data source, as text: a string as it is, a number in decimal. The Access
// driver keeps some of its settings (MaxBufferSize, PageTimeout) as numbers in the data
// source's subkey Engines\Jet.
struct DataSourceValue {
    char name[256];
    char* text;  // fixed memory from the local heap
    bool inEngine;
};

const int kMaxDataSourceValues = 64;

struct DataSourceReading {
    bool exists;         // its key is there
    char* listedDriver;  // the driver it is listed with under "ODBC Data Sources", or null
    // The file that the installer has registered for the Access driver, environment strings
    // expanded; null when the driver is not registered.
    char* registeredDriverFile;
    int count;
    DataSourceValue values[kMaxDataSourceValues];
};

// Reads the data source. False, with the registry's error code in *error, when the registry
// cannot be read; nothing is left to release then.
bool ReadDataSource(DataSourceReading* reading, LONG* error);

void ReleaseDataSource(DataSourceReading* reading);

// The value name of the data source's own key (not of its engine's), or null.
const char* FindValue(const DataSourceReading& reading, const char* name);

enum DifferenceKind {
    kDataSourceMissing,
    kNotListed,
    kListedWithAnotherDriver,  // there: that driver
    kValueMissing,             // name: the value; wanted: what it should be
    kValueDiffers,             // name, there, wanted
    kDriverFileDiffers,        // there: the Driver value; wanted: the registered file
    kDriverNotRegistered       // there: the Driver value, or null
};

struct DataSourceDifference {
    DifferenceKind kind;
    const char* name;
    const char* there;
    const char* wanted;
};

// The most differences there can be: the listing, the path, the fixed attributes, the driver.
const int kMaxDifferences = 6;

// How the data source differs from what a run for databasePath leaves; the count. The texts
// point into reading and databasePath.
int CompareDataSource(const DataSourceReading& reading, const char* databasePath,
                      DataSourceDifference (&differences)[kMaxDifferences]);

// The attribute list that adds the data source again as reading found it: its name and every
// value but its driver's file, which the driver's setup writes itself. Fixed memory from the
// local heap, for LocalFree; null when none can be had.
char* BuildRestoreList(const DataSourceReading& reading);

#endif
