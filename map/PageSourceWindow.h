#pragma once

class QWebEnginePage;

// Opens a plain read-only window with the page's current HTML.
void ShowPageSource(QWebEnginePage* page);
