#include "method/method_folder.h"
#include "method/method_settings.h"
#include "results/result_record.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ResultRecord, NamesTheMethodLastUsedAndTheFileAfterDateTimeAndRecord)
{
    QTemporaryDir dir;
    const MethodFolder folder(dir.filePath("Config"));
    EXPECT_EQ(methodDescription(folder), "");
    folder.rememberSlot(7);
    EXPECT_EQ(methodDescription(folder), "slot 7");
    folder.slotFile(7).writeString(MethodSettings::kNameSection, MethodSettings::kNameKey, "Acid number");
    EXPECT_EQ(methodDescription(folder), "Acid number (slot 7)");

    ResultRecord record;
    record.made = QDateTime(QDate(2026, 12, 7), QTime(14, 30, 5));
    record.recordNo = 3;
    EXPECT_EQ(record.defaultFileName("csv"), "Titration 2026-12-07 14-30-05 record 3.csv");
    record.recordNo = 0;
    EXPECT_EQ(record.defaultFileName("pdf"), "Titration 2026-12-07 14-30-05 selection.pdf");
}

} // namespace
