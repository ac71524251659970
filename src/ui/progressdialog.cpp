#include "ui/progressdialog.h"

#include <QCoreApplication>
#include <QDialog>
#include <QTimer>

#include <algorithm>
#include <exception>

#include "ui/messages.h"
#include "ui_frmload.h"
#include "ui_frmrecon.h"

namespace cm3::ui {

StepRunner progressDialogs(QWidget* parent) {
  return [parent](LongStep step, const std::function<void(const Progress&)>& work) {
    WaitCursor wait;
    QDialog dlg(parent);
    Ui::FrmLoad load;
    Ui::FrmRecon recon;
    QProgressBar* bar = nullptr;
    if (step == LongStep::Splice) {
      load.setupUi(&dlg);
      bar = load.pbrSplice;
    } else {
      recon.setupUi(&dlg);
      bar = recon.pbrRecon;
    }
    const int top = bar->maximum();
    Progress progress = [bar, top](int64_t value, int64_t maximum) {
      bar->setValue(maximum > 0 ? int(std::clamp<int64_t>(value * top / maximum, 0, top)) : 0);
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    std::exception_ptr failure;
    QTimer::singleShot(0, &dlg, [&] {
      try {
        work(progress);
      } catch (...) {
        failure = std::current_exception();
      }
      dlg.accept();
    });
    dlg.exec();
    if (failure) std::rethrow_exception(failure);
  };
}

}  // namespace cm3::ui
