#pragma once

#include <string>

#include "settings/settings_file.h"
#include "settings/settings_kind.h"
#include "settings/settings_table.h"

// Both setting lists with the folder their files live in: what the window
// and the command line hold for the program's run.
//
// Start: SetUp (built-ins, first user slots), then LoadSettingsFile for Noise
// and then File. Leaving with Exit: SaveSettingsFile for Noise, then File.
class CSettingsStore
{
public:
    CNoiseSettingsTable m_noiseSettings;
    CFileSettingsTable m_fileSettings;
    // Folder of "ns.srx" and "fs.srx" with its trailing '/'; "" is the
    // current folder. See ChooseSettingsFolder.
    std::string m_folder;
    // What the last LoadSettingsFile of each kind found.
    SettingsLoadResult m_noiseLoad;
    SettingsLoadResult m_fileLoad;

    explicit CSettingsStore(std::string folder = {});

    // A store for the running program: the folder from ChooseSettingsFolder
    // on the system's environment, set up and both files loaded.
    static CSettingsStore ForThisProgram();

    // Empties both tables, sets up the built-in presets and computes the
    // first user slots.
    void SetUp();

    // The full path of the settings file of kind.
    std::string PathOf(SettingsKind kind) const;

    // Reads the file of kind into its table from the first user slot on and
    // takes its saved selection. A missing file changes nothing.
    const SettingsLoadResult& LoadSettingsFile(SettingsKind kind);

    // Writes the table of kind with selectedEntry (the list position
    // selected now, -1 for none), creating the folder when it is missing.
    // Ok, or why not; a failed save leaves the old file as it was.
    CIoResult SaveSettingsFile(SettingsKind kind, int selectedEntry) const;
};
