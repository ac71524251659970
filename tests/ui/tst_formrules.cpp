// The form routines every window shares.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

#include "ui/formrules.h"

using namespace cm3::ui;

class TestFormRules : public QObject {
  Q_OBJECT
 private slots:
  void copyComboItemsAppends();
  void finds();
  void bevelRings();
  void keyFilter();
  void centreOverMain();
};

void TestFormRules::copyComboItemsAppends() {
  QComboBox source, a, b;
  a.addItem(QStringLiteral("kept"));
  CopyComboItems(&source, {&a, &b});  // an empty source changes nothing
  QCOMPARE(a.count(), 1);
  QCOMPARE(b.count(), 0);
  source.addItems({QStringLiteral("one"), QString(300, 'x')});
  CopyComboItems(&source, {&a, &b});
  QCOMPARE(a.count(), 3);
  QCOMPARE(a.itemText(0), QStringLiteral("kept"));
  QCOMPARE(a.itemText(1), QStringLiteral("one"));
  QCOMPARE(b.itemText(1).size(), 254);
}

void TestFormRules::finds() {
  QComboBox c;
  c.addItems({QStringLiteral("Real Club"), QStringLiteral("Real"), QStringLiteral("Rovers")});
  QCOMPARE(findPrefix(&c, QStringLiteral("real")), 0);
  QCOMPARE(findPrefix(&c, QStringLiteral("x")), -1);
}

void TestFormRules::bevelRings() {
  QWidget host;
  host.resize(200, 100);
  auto* b = new QPushButton(QStringLiteral("x"), &host);
  b->setGeometry(50, 30, 60, 25);
  DrawFrame3D(b);
  host.show();
  QVERIFY(QTest::qWaitForWindowExposed(&host));
  const QImage img = host.grab().toImage();
  const int x = 50, y = 30, w = 60, h = 25;
  QCOMPARE(img.pixelColor(x - 3, y - 3), QColor(0, 0, 0));             // outer, top-left
  QCOMPARE(img.pixelColor(x + w + 2, y + h + 2), QColor(255, 255, 255));  // outer, bottom-right
  QCOMPARE(img.pixelColor(x + 10, y - 2), QColor(0x80, 0x80, 0x80));    // middle, top
  QCOMPARE(img.pixelColor(x + w + 1, y + 10), QColor(0xE0, 0xE0, 0xE0));  // middle, right
  QCOMPARE(img.pixelColor(x - 1, y + 10), QColor(255, 255, 255));       // inner, left
  QCOMPARE(img.pixelColor(x + 10, y + h), QColor(0, 0, 0));             // inner, bottom
}

void TestFormRules::keyFilter() {
  QLineEdit box;
  int accepted = 0;
  installKeyFilter(&box, kDigits + QStringLiteral("-"), [&] { ++accepted; });
  box.show();
  QTest::keyClicks(&box, QStringLiteral("1a-2 b"));
  QCOMPARE(box.text(), QStringLiteral("1-2"));
  QCOMPARE(accepted, 3);
  QTest::keyClick(&box, Qt::Key_Backspace);
  QCOMPARE(box.text(), QStringLiteral("1-"));
  QCOMPARE(accepted, 4);
  QTest::keyClick(&box, Qt::Key_Left);  // no character: passes, no count
  QCOMPARE(accepted, 4);
}

void TestFormRules::centreOverMain() {
  QWidget main, dialog;
  main.setGeometry(100, 100, 800, 600);
  dialog.resize(200, 100);
  main.show();
  QVERIFY(QTest::qWaitForWindowExposed(&main));
  CentreOverMain(&dialog, &main);
  const QRect m = main.frameGeometry();
  QCOMPARE(dialog.pos(), QPoint(m.left() + (m.width() - 200) / 2, m.top() + (m.height() - 100) / 2));
}

QTEST_MAIN(TestFormRules)
#include "tst_formrules.moc"
