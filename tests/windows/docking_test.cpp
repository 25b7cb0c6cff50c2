// The four dockable pieces: dragged out by their grips they float in tool
// windows titled with their captions, and they dock back only into their
// own bars; the memory's size, the internal panel's menu item and refit,
// and leaving the program with pieces floating or a timed run going.

#include <QStatusBar>

#include "gui_support.h"
#include "windows/dock.h"
#include "windows/machine_adapter.h"
#include "windows/main_window.h"

using namespace orben::testing;
using orben::DockPiece;

namespace {

struct Piece {
  const char* name;
  const char* home;
  const char* caption;
};
constexpr Piece kPieces[] = {
    {"Menu", "Barra_Principal", "Menu"},
    {"PPanel_Frontal", "Contenedor_PF", "Panel frontal de TUKA-2"},
    {"Panel_Interno", "Contenedor_Panel_Interno", "Panel interno de TUKA-2"},
    {"PContenedor_Memoria", "Contenedor_Memoria", "Memoria de TUKA-2"},
};

DockPiece* piece(const QString& name) {
  return find<DockPiece>(name);
}
QPoint centreOf(const QWidget* widget) {
  return widget->mapToGlobal(widget->rect().center());
}
// The middle of a bar: an empty bar has no height, and still counts.
QPoint over(const QString& bar) {
  return centreOf(find<QWidget>(bar));
}
QWidget* grip(const QString& piece) {
  return find<QWidget>(piece + QStringLiteral("_Asa"));
}

// Holds a piece by the middle of its grip and moves it in steps to
// `global`, without letting it go.
void hold(const QString& name, const QPoint& global) {
  QWidget* handle = grip(name);
  const QPoint from = centreOf(handle);
  QTest::mousePress(handle, Qt::LeftButton, {}, handle->rect().center());
  for (int step = 1; step <= 4; ++step) {
    QTest::mouseMove(handle, handle->mapFromGlobal(from + (global - from) * step / 4));
  }
}
void letGo(const QString& name, const QPoint& global) {
  QWidget* handle = grip(name);
  QTest::mouseRelease(handle, Qt::LeftButton, {}, handle->mapFromGlobal(global));
}
// Holds a piece by the middle of its grip, moves it in steps and lets it go
// at `global`.
void drag(const QString& name, const QPoint& global) {
  hold(name, global);
  letGo(name, global);
}
// The frame that marks where a drop would dock the piece, while it shows.
QWidget* dropMark(const QString& name) {
  QWidget* mark = find<QWidget>(name + QStringLiteral("_Destino"));
  return mark && mark->isVisible() ? mark : nullptr;
}
QRect globalRect(const QWidget* widget) {
  return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

// The piece floats, visible, in its own tool window, its grip where it was
// let go.
void checkFloatsAt(const Piece& row, const QPoint& dropped) {
  DockPiece* floating = piece(row.name);
  QVERIFY2(floating->dockedIn() == nullptr, row.name);
  QWidget* window = floating->window();
  QVERIFY(window->isVisible() && window->windowType() == Qt::Tool);
  QCOMPARE(window->windowTitle(), QString::fromUtf8(row.caption));
  const QWidget* handle = grip(row.name);
  QVERIFY2(QRect(handle->mapToGlobal(QPoint(0, 0)), handle->size()).contains(dropped), row.name);
}

void checkAtHome(const Piece& row) {
  DockPiece* docked = piece(row.name);
  QVERIFY2(find<QWidget>(row.home)->isAncestorOf(docked), row.name);
  QCOMPARE(docked->dockedIn(), find<QWidget>(row.home));
  QVERIFY(docked->isVisible());
  QVERIFY(!docked->floatingWindow() || docked->floatingWindow()->isHidden());
}

}  // namespace

class DockingTest : public QObject {
  Q_OBJECT

 private slots:
  // Each piece dropped over every foreign bar and over nothing floats
  // where it was let go; over its own bar it docks home, as at start.
  void eachBarAcceptsOnlyItsOwnPiece() {
    for (const Piece& row : kPieces) {
      Program program;
      const QRect home_place = piece(row.name)->geometry();
      const QPoint nowhere = program.window()->frameGeometry().bottomRight() + QPoint(150, 150);
      drag(row.name, over(row.home) + QPoint(3, 0));  // a short drag at home
      checkAtHome(row);
      for (const Piece& bar : kPieces) {
        // The internal panel carries the memory's bar along with it.
        const bool carried = QLatin1String(row.name) == "Panel_Interno" &&
                             QLatin1String(bar.home) == "Contenedor_Memoria";
        if (bar.home == row.home || carried) continue;
        const QPoint target = over(bar.home);
        drag(row.name, target);
        checkFloatsAt(row, target);
      }
      drag(row.name, nowhere);
      checkFloatsAt(row, nowhere);
      drag(row.name, over(row.home));
      checkAtHome(row);
      QCOMPARE(piece(row.name)->geometry(), home_place);
    }
  }

  void memoryIsFixedDockedAndFreeFloating() {
    Program program;
    DockPiece* memory = piece("PContenedor_Memoria");
    const auto limits = [memory] {
      return QList<int>{memory->minimumWidth(), memory->maximumWidth(), memory->minimumHeight(),
                        memory->maximumHeight()};
    };
    const QList<int> fixed{176, 176, 204, 204};
    QCOMPARE(limits(), fixed);
    drag("PContenedor_Memoria", program.window()->geometry().topRight() + QPoint(60, 40));
    QCOMPARE(limits(), (QList<int>{0, QWIDGETSIZE_MAX, 0, QWIDGETSIZE_MAX}));
    QWidget* window = memory->floatingWindow();
    for (const QSize size : {QSize(300, 400), QSize(120, 90)}) {
      window->resize(size);
      QCoreApplication::sendPostedEvents();
      QCOMPARE(memory->size(), size);
    }
    drag("PContenedor_Memoria", over("Contenedor_Memoria"));
    QCOMPARE(limits(), fixed);
    QCOMPARE(memory->size(), QSize(176, 204));
  }

  // "Esconder/Mostrar el Panel Interno de TUKA-2" in its four cases; the
  // panel coming home, by the item or dragged, refits the window to its
  // content, narrower or wider than it was: 699 high, the whole panel in
  // view above the status bar.
  void hideShowTheInternalPanel() {
    Program program;
    QMainWindow* main = program.window();
    QWidget* bar = find<QWidget>("Contenedor_Panel_Interno");
    DockPiece* panel = piece("Panel_Interno");
    const auto toggle = [] { trigger("EsconderMostrarelPanelInternodeTUKA21"); };
    const auto checkRefitted = [&] {
      QCOMPARE(main->height(), 699);
      checkInternalPanelWhole(*main);
      QCOMPARE(bar->height(), panel->height());
      QCOMPARE(bar->mapTo(main, QPoint(0, bar->height())).y(),
               main->findChild<QStatusBar*>("Barra_Estado")->y());
    };
    const QSize at_start = main->size();

    // Docked and shown: the bottom area goes, the window keeps its size.
    toggle();
    QVERIFY(bar->isHidden() && !panel->isVisible());
    QCOMPARE(main->size(), at_start);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCOMPARE(find<QWidget>("Ficha_PF")->height(), 699 - 26 - 22);  // the page takes the room
    // Docked and hidden: it comes back with the window refitted around it.
    main->resize(700, 900);
    toggle();
    checkAtHome(kPieces[2]);
    checkRefitted();

    // Floating and shown: it docks back at the bottom.
    const QPoint floating_at = main->geometry().bottomLeft() + QPoint(30, 40);
    drag("Panel_Interno", floating_at);
    checkFloatsAt(kPieces[2], floating_at);
    main->resize(1300, 900);
    toggle();
    checkAtHome(kPieces[2]);
    checkRefitted();

    // Floating and closed: it shows again floating where it was, undocked.
    drag("Panel_Interno", floating_at);
    panel->floatingWindow()->close();
    QVERIFY(!panel->isVisible() && panel->dockedIn() == nullptr);
    QCOMPARE(bar->height(), 0);
    toggle();
    checkFloatsAt(kPieces[2], floating_at);
    main->resize(800, 900);
    drag("Panel_Interno", over("Contenedor_Panel_Interno"));
    checkAtHome(kPieces[2]);
    checkRefitted();
    QCOMPARE(main->size(), at_start);
  }

  // Closing a floating piece's window: the toolbar, the front panel and the
  // memory go home (nothing else could bring them back), the memory fixed
  // at its size again; the internal panel hides, still undocked, for its
  // menu item to bring back.
  void closingAFloatingPiece() {
    for (const Piece& row : kPieces) {
      Program program;
      const QPoint away = program.window()->frameGeometry().bottomRight() + QPoint(80, 80);
      drag(row.name, away);
      checkFloatsAt(row, away);
      DockPiece* floating = piece(row.name);
      floating->floatingWindow()->close();
      if (QLatin1String(row.name) == "Panel_Interno") {
        QVERIFY(!floating->isVisible() && floating->dockedIn() == nullptr);
        QVERIFY(floating->floatingWindow()->isHidden());
      } else {
        checkAtHome(row);
      }
      if (QLatin1String(row.name) == "PContenedor_Memoria") {
        QCOMPARE(floating->size(), QSize(176, 204));
      }
    }
  }

  // A floating piece docks when let go anywhere over the place it held at
  // home (the toolbar's 26-pixel strip, the internal panel's whole area
  // above the status bar), and that place is framed while the piece is
  // over it; over a foreign bar nothing is framed and the piece floats.
  void dropOverTheFormerPlaceDocks() {
    for (const Piece& row : kPieces) {
      Program program;
      DockPiece* docked = piece(row.name);
      const QRect former = globalRect(docked);
      const QPoint away = program.window()->frameGeometry().bottomRight() + QPoint(80, 80);
      drag(row.name, away);
      QVERIFY2(!globalRect(find<QWidget>(row.home)).contains(former.center()) ||
                   QLatin1String(row.name) == "PPanel_Frontal" ||
                   QLatin1String(row.name) == "PContenedor_Memoria",
               row.name);  // the shrunk bars no longer cover the place itself

      const Piece& foreign = kPieces[QLatin1String(row.name) == "Menu" ? 1 : 0];
      hold(row.name, over(foreign.home));
      QVERIFY2(dropMark(row.name) == nullptr, row.name);
      letGo(row.name, over(foreign.home));
      checkFloatsAt(row, over(foreign.home));

      hold(row.name, former.center());
      QWidget* mark = dropMark(row.name);
      QVERIFY2(mark != nullptr, row.name);
      QVERIFY2(mark->geometry().contains(former), row.name);
      letGo(row.name, former.center());
      checkAtHome(row);
      QVERIFY2(dropMark(row.name) == nullptr, row.name);
      QCOMPARE(globalRect(docked), former);
    }
  }

  // Salir de ORBEN during a timed run, and the main window's close button
  // with every piece floating: everything goes at once, the pieces that
  // watch the machine before the machine's adapter.
  void leavingEndsEverythingAtOnce() {
    for (const bool timed_run : {true, false}) {
      Program program;
      auto& main = *static_cast<orben::MainWindow*>(program.window());
      QPointer<QObject> adapter = &main.adapter();
      QList<QPointer<QWidget>> windows{find<QWidget>("TForm3")};
      const QPoint away = main.geometry().bottomRight() + QPoint(40, 40);
      for (const Piece& row : kPieces) {
        if (!timed_run || QLatin1String(row.name) == "PContenedor_Memoria") {
          drag(row.name, away + QPoint(0, 60 * static_cast<int>(windows.size())));
          windows << piece(row.name)->floatingWindow();
        }
      }
      bool adapter_outlived_the_grid = false;
      connect(find<QWidget>("Memoria"), &QObject::destroyed, this,
              [&] { adapter_outlived_the_grid = !adapter.isNull(); });
      find<QWidget>("TForm3")->show();
      QPointer<QMainWindow> window = program.window();
      if (timed_run) {
        click("BOnOff");
        // 0000: BR to RD (000D); 000D: ADDS R1, R1, R2; 000E: BR to 000D.
        for (const auto& [address, word] :
             {std::pair{0x0000, "C000"}, std::pair{0x000D, "6112"}, std::pair{0x000E, "C000"}}) {
          program.tuka().machine.WriteMemoryWord(address, word);
        }
        startTimedRun(program, "0000");
        QTRY_VERIFY(value("R1").toInt(nullptr, 16) > 0x20);
        trigger("MSalir_de_ORBEN");
      } else {
        window->close();
      }
      QVERIFY(window.isNull() || !window->isVisible());
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      QVERIFY(window.isNull());
      QVERIFY(adapter.isNull());
      QVERIFY(adapter_outlived_the_grid);
      for (const auto& other : windows) QVERIFY(other.isNull() || !other->isVisible());
    }
  }
};

QTEST_MAIN(DockingTest)
#include "docking_test.moc"
