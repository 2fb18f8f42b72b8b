// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Identifiers of the window resources: dialog templates, controls, icons,
// the hand cursor and string table entries. The numbers are those of the
// templates in res/templates and the string table in res/strings.json.
// The end codes IDOK and IDCANCEL are the toolkit's (ui/dialog/dialog_base.h).

// Dialog templates, built into the program; each keeps its number (102, 141,
// 166) inside.
inline constexpr char IDD_MAIN[] = ":/susurra/templates/main_window.json";
inline constexpr char IDD_ABOUT[] = ":/susurra/templates/about_box.json";
inline constexpr char IDD_SAVE_SETTING[] = ":/susurra/templates/manage_settings.json";

// Icons and the cursor.
constexpr int IDI_APP = 131;
constexpr int IDC_HAND = 163;
constexpr int IDI_PLAY = 171;
constexpr int IDI_STOP = 174;
constexpr int IDI_TO_FILE = 177;
constexpr int IDI_TOOLS = 181;
constexpr int IDI_EXIT = 182;
constexpr int IDI_BROWSE = 183;
constexpr int IDI_HELP = 184;

// String table.
constexpr int IDS_TIP_EXIT = 150;
constexpr int IDS_TIP_BROWSE = 151;
constexpr int IDS_EXIT = 152;
constexpr int IDS_TIP_PLAY = 153;
constexpr int IDS_TIP_STOP = 154;
constexpr int IDS_TIP_TO_FILE = 155;
constexpr int IDS_TIP_TOOLS = 156;
constexpr int IDS_TIP_HELP = 157;

// Controls of the main window (template 102).
constexpr int IDC_FILE_SAVE_SETTING = 1000;
constexpr int IDC_STOP = 1001;
constexpr int IDC_PLAY = 1002;
constexpr int IDC_EXIT = 1003;
constexpr int IDC_PHYSIOLOGICAL = 1004;
constexpr int IDC_WHITE = 1005;
constexpr int IDC_PINK = 1006;
constexpr int IDC_LOWER_LIMIT = 1007;
constexpr int IDC_UPPER_LIMIT = 1008;
constexpr int IDC_GENERATOR_PROGRESS = 1009;
constexpr int IDC_TO_FILE = 1010;
constexpr int IDC_FREQUENCY_RANGE_GROUP = 1011;
constexpr int IDC_NOISE_TYPE_GROUP = 1012;
constexpr int IDC_FILE_NAME = 1013;
constexpr int IDC_SAVING_PROGRESS = 1014;
constexpr int IDC_SURF_STRENGTH = 1018;
constexpr int IDC_SURF_PERIOD = 1019;
constexpr int IDC_FADE_IN = 1020;
constexpr int IDC_FADE_OUT = 1021;
constexpr int IDC_PLAY_TIME = 1022;
constexpr int IDC_STATUS = 1026;
constexpr int IDC_VOLUME = 1027;
constexpr int IDC_SOUND_DEVICE = 1029;
constexpr int IDC_TOOLS = 1030;
constexpr int IDC_VOLUME_LABEL = 1032;
constexpr int IDC_TINNITUS_FINDER = 1034;
constexpr int IDC_FREQ_SLIDER = 1035;
constexpr int IDC_TINNITUS_FREQ = 1036;
constexpr int IDC_FREQ_SPIN = 1037;
constexpr int IDC_FREQ_LABEL = 1040;
constexpr int IDC_FREQ_MIN_LABEL = 1041;
constexpr int IDC_FREQ_MAX_LABEL = 1042;
constexpr int IDC_LOWER_LIMIT_LABEL = 1043;
constexpr int IDC_UPPER_LIMIT_LABEL = 1044;
constexpr int IDC_BROWSE = 1048;
constexpr int IDC_NOISE_SETTING = 1049;
constexpr int IDC_NOISE_SAVE_SETTING = 1051;
constexpr int IDC_FILE_SETTING = 1057;
constexpr int ID_HELP = 57670;
constexpr int IDC_ENDLESS = 1100;
// The sleep timer and the gentle sound.
constexpr int IDC_SLEEP_STOP_AFTER = 1110;
constexpr int IDC_SLEEP_FADE_OUT = 1111;
constexpr int IDC_SLEEP_QUIT = 1112;
constexpr int IDC_SLEEP_COUNTDOWN = 1113;
constexpr int IDC_FADE_IN_AT_PLAY = 1114;
constexpr int IDC_GLIDE = 1115;
constexpr int IDC_KEEP_AWAKE = 1116;
// The notch and the pitch match.
constexpr int IDC_NOTCH = 1140;
constexpr int IDC_NOTCH_WIDTH = 1141;
constexpr int IDC_NOTCH_WIDTH_LABEL = 1142;
constexpr int IDC_MATCH = 1143;
// Brown noise: the fifth noise-type radio, after Tinnitus Finder in the
// template, so that its index in the group is Brown.
constexpr int IDC_BROWN = 1150;
// The frame of the picture of the sound.
constexpr int IDC_SPECTRUM = 1160;
// Stereo: the check box, each ear's level and the ear the tone plays in.
constexpr int IDC_STEREO = 1170;
constexpr int IDC_LEFT_EAR_LABEL = 1171;
constexpr int IDC_LEFT_EAR = 1172;
constexpr int IDC_RIGHT_EAR_LABEL = 1173;
constexpr int IDC_RIGHT_EAR = 1174;
constexpr int IDC_TONE_EAR_LABEL = 1175;
constexpr int IDC_TONE_EAR = 1176;
// Shaping the noise to the hearing profile, and the hearing check.
constexpr int IDC_HEARING_SHAPED = 1180;
constexpr int IDC_HEARING_CHECK = 1181;

// Controls of the About box (template 141).
constexpr int IDC_ABOUT_ICON = 1060;
constexpr int IDC_ABOUT_VERSION = 1061;

// Controls of the Manage Settings window (template 166).
constexpr int IDC_SETTING_SAVE = 1000;
constexpr int IDC_SETTING_DELETE = 1001;
constexpr int IDC_SETTING_NAME = 1054;
constexpr int IDC_SETTING_NAMES = 1055;
