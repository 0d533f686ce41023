// The window over a list file whose one assembly is a gigabyte long: it opens and paints without
// converting the whole text at each paint, within memory of about twice the file.
#include "FaultSupport.h"
#include "WindowFixture.h"

#include <QDataStream>
#include <QTest>

#include <iostream>

namespace {

constexpr qint64 kGigabyte = qint64(1) << 30;

TEST_F(WindowFixture, aGigabyteEntryIsShownWithinBoundedMemory)
{
    if (faults::freeBytes(dir.path()) < 3 * kGigabyte)
        GTEST_SKIP() << "less than 3 GB free in " << dir.path().toStdString() << " for a list file of 1 GB";
    // One assembly of a gigabyte, an empty catalogue and an empty defect list: a valid file.
    ASSERT_TRUE(faults::writeFilled(defaultFile(), "1\r\n", 'A', kGigabyte));
    {
        QFile tail(defaultFile());
        ASSERT_TRUE(tail.open(QIODevice::Append));
        tail.write("\r\n0\r\n0\r\n");
    }
    const std::optional<QByteArray> report = faults::inChild([&] {
        const qint64 before = faults::peakRss();
        create();
        form->show();
        const bool exposed = QTest::qWaitForWindowExposed(form.get());
        form->repaint();
        QCoreApplication::processEvents();
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out << exposed << prompts.texts() << qsizetype(doc().AssemblyList.count())
            << qint64(doc().AssemblyList.count() ? doc().AssemblyList.at(0).caption().size() : 0)
            << faults::peakRss() - before;
        form.reset();
        return bytes;
    });
    QFile::remove(defaultFile());
    ASSERT_TRUE(report) << "the window died";
    QDataStream in(*report);
    bool exposed = false;
    QStringList texts;
    qsizetype assemblies = 0;
    qint64 captionSize = 0, peakGrowth = 0;
    in >> exposed >> texts >> assemblies >> captionSize >> peakGrowth;
    EXPECT_TRUE(exposed);
    EXPECT_TRUE(texts.empty()) << texts.join(u'|').toStdString();
    EXPECT_EQ(assemblies, 1);
    EXPECT_EQ(captionSize, kGigabyte);
    // The file once and the entry once; AddressSanitizer's shadow memory adds an eighth.
    EXPECT_LE(peakGrowth, 2 * kGigabyte + kGigabyte / 4 + (128 << 20)) << "peak memory grew by " << peakGrowth;
    std::cout << "window over a 1 GB entry: peak memory +" << peakGrowth / (1 << 20) << " MB\n";
}

} // namespace
