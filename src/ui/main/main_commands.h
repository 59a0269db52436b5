#pragma once
#include "ui/main/tray_icon.h"

// Command ids of the main window's menus, buttons and keys; the tray menu's are the tray
// icon's own.
enum MainCommand : unsigned {
    ID_CANCEL = 2,
    ID_SETTINGS_TRAY = TrayIcon::ID_SETTINGS,
    ID_SHOW = TrayIcon::ID_SHOW,
    ID_EXIT_TRAY = TrayIcon::ID_EXIT,
    ID_SHOW_LOG = 0x800F,
    ID_WIZARD_TRAY = TrayIcon::ID_WIZARD,
    ID_NOTHING = 0x8013,
    ID_WIZARD_FILE = 0x8019,
    ID_SETTINGS_FILE = 0x801A,
    ID_EXIT_FILE = 0x801E,
    ID_ABOUT = 0x801F,
    ID_MY_ACCOUNT = 0x8021,
    ID_ACCESS_NUMBERS = 0x8022,
    ID_KNOWLEDGE_BASE = 0x8025,
    ID_LOGOUT_TRAY = TrayIcon::ID_LOGOUT,
    ID_LOGOUT_FILE = 0x802F,
    ID_APP_ABOUT = 0xE140,
};
