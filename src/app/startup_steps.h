#pragma once

class CMainDlg;
class CSplashWnd;

// The start-up steps the splash drives once it is up: load the skin, bind it to the main and
// information windows, create the skinned controls, show the main window (or keep it hidden
// for a minimised start-up launch) and check the browser setting.
void run_startup_steps(CSplashWnd& splash, CMainDlg& main_dialog, bool start_hidden);
