// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundfile/sound_file_type.h"

#include <algorithm>
#include <cctype>
#include <string>

SoundFileType SoundFileTypeOf(std::string_view fileName)
{
    const size_t slash = fileName.rfind('/');
    const std::string_view base = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    const size_t dot = base.rfind('.');
    // ".hidden" is a name, not a suffix.
    if (dot == std::string_view::npos || dot == 0)
        return SoundFileType::Wave;
    std::string suffix(base.substr(dot));
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (SoundFileType type : {SoundFileType::Wave, SoundFileType::Flac, SoundFileType::Opus, SoundFileType::Mp3})
        if (suffix == SoundFileSuffix(type))
            return type;
    return SoundFileType::Unknown;
}

const char* SoundFileSuffix(SoundFileType type)
{
    switch (type)
    {
        case SoundFileType::Wave:
            return ".wav";
        case SoundFileType::Flac:
            return ".flac";
        case SoundFileType::Opus:
            return ".opus";
        case SoundFileType::Mp3:
            return ".mp3";
        case SoundFileType::Unknown:
            break;
    }
    return "";
}

const char* UnknownSuffixText()
{
    return "the name must end in .wav, .flac, .opus or .mp3 (the suffix chooses the file type)";
}
