#pragma once

class QWidget;

// Brings an open download window's method display up to date: its Label7
// shows "下载方式：1", "下载方式：2" or "下载方式：3"; the thread-count list
// Combo1 is off for the single-transfer method and, for the parallel and the
// browser's, on and back at "1".
// Controls the window does not have are passed over.
void ShowDownloadMethod(QWidget* downloadWindow, int method);
