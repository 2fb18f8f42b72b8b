#include "settings/settings_store.h"

#include <utility>

#include "settings/builtin_presets.h"
#include "settings/replace_file.h"
#include "settings/settings_location.h"

CSettingsStore::CSettingsStore(std::string folder) : m_folder(std::move(folder)) {}

CSettingsStore CSettingsStore::ForThisProgram()
{
    CSettingsStore store(ChooseSettingsFolder(SettingsEnvironment::FromSystem()));
    store.SetUp();
    store.LoadSettingsFile(SettingsKind::Noise);
    store.LoadSettingsFile(SettingsKind::File);
    return store;
}

void CSettingsStore::SetUp()
{
    SetUpBuiltInPresets(m_noiseSettings, m_fileSettings);
}

std::string CSettingsStore::PathOf(SettingsKind kind) const
{
    return m_folder + std::string(SettingsFileName(kind));
}

const SettingsLoadResult& CSettingsStore::LoadSettingsFile(SettingsKind kind)
{
    if (kind == SettingsKind::Noise)
        return m_noiseLoad = ::LoadSettingsFile(m_noiseSettings, PathOf(kind));
    return m_fileLoad = ::LoadSettingsFile(m_fileSettings, PathOf(kind));
}

CIoResult CSettingsStore::SaveSettingsFile(SettingsKind kind, int selectedEntry) const
{
    // The user's configuration folder may not exist yet on a first save.
    if (!m_folder.empty())
    {
        if (CIoResult created = CreateFolders(m_folder); !created)
            return created;
    }
    if (kind == SettingsKind::Noise)
        return ::SaveSettingsFile(m_noiseSettings, PathOf(kind), selectedEntry);
    return ::SaveSettingsFile(m_fileSettings, PathOf(kind), selectedEntry);
}
