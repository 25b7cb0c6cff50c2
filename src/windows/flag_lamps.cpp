#include "windows/flag_lamps.h"

#include <algorithm>

#include "panel/front_panel.h"
#include "widgets/focus_frame.h"
#include "windows/lamp.h"
#include "windows/machine_adapter.h"
#include "windows/pictures.h"

namespace orben {

QString flagCaption(Flag flag) {
  return QString(QLatin1Char(flagLetter(flag)));
}

Lamp* flagLamp(MachineAdapter& adapter, Flag flag, const QString& prefix, QWidget* parent) {
  const QString name = prefix + flagCaption(flag);
  auto* lamp =
      new Lamp(name + QStringLiteral("_OFF"), name + QStringLiteral("_ON"),
               lampPicture(LampColour::Red, false), lampPicture(LampColour::Red, true), parent);
  lamp->setObjectName(QStringLiteral("Lampara_") + name);
  lamp->setAccessibleName(flagCaption(flag));
  lamp->setImageCursor(Qt::PointingHandCursor);
  lamp->setClickable(true);
  lamp->setLit(adapter.machine().flag(flag));
  // Z_Set_ON, S_SET_ON, C_Set_On, V_Set_ON: the same action on all four images.
  QObject::connect(lamp, &Lamp::clicked, &adapter,
                   [&adapter, flag] { toggleFlagByHand(adapter.tuka().machine, flag); });
  QObject::connect(&adapter, &MachineAdapter::flagStateChanged, lamp,
                   [lamp, flag](int changed, bool on) {
                     if (changed == static_cast<int>(flag)) lamp->setLit(on);
                   });
  setShowsChange(*lamp, false);
  QObject::connect(&adapter, &MachineAdapter::stepDone, lamp, [lamp, flag, &adapter] {
    const auto& flags = adapter.debugging().lastChanges().flags;
    setShowsChange(*lamp, std::find(flags.begin(), flags.end(), flag) != flags.end());
  });
  return lamp;
}

}  // namespace orben
