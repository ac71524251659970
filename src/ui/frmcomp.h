// The competition window "Competition Properties": one competition of
// club_comp.dat, opened from the division labels of the club window.
// "Update" writes it back and keeps the window open; "O&K" hides it.
#pragma once
#include <QDialog>
#include <memory>

#include "competitions/comp.h"

namespace Ui {
class FrmComp;
}

namespace cm3::ui {

class TolvPlayer;
template <class Form>
class Binder;

class FrmComp : public QDialog {
  Q_OBJECT
 public:
  // Which list of the club window the competition came from.
  enum class Source { Division, LastDivision, OtherDivision };

  explicit FrmComp(TolvPlayer* main);
  ~FrmComp() override;

  // Centres the window and draws its bevels.
  void Form_Load();

  // Reads competition `compIndex` and shows it, without waiting.
  void fillFrom(int compIndex, Source source);
  // fillFrom, then shows the window modally.
  void openOn(int compIndex, Source source);

  comps::CompForm form() const;
  void fill(const comps::CompForm& f);

  int compIndex() const { return compIndex_; }
  Source source() const { return source_; }

  // Whether the last Update wrote the record.
  bool cmdUpdate_Click();
  void cmdOk_Click();

 private:
  TolvPlayer* main_;
  int compIndex_ = -1;
  Source source_ = Source::Division;
  std::unique_ptr<Ui::FrmComp> ui_;
  std::unique_ptr<Binder<comps::CompForm>> binder_;
};

}  // namespace cm3::ui
