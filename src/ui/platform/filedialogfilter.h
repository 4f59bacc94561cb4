#pragma once

#include <QString>

// The prompts take filters as "description|pattern" pairs joined by "|"
// ("文本文件(*.txt)|*.txt|所有文件|*.*"); Qt's file dialogs want
// "description (pattern);;...". Several patterns in one pair may be separated
// by ";" and become Qt's space-separated list. A trailing description without
// a pattern is kept with "*" so that nothing typed is dropped.
QString QtFileDialogFilter(const QString& filter);
