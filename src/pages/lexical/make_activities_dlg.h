// "Make activities" of the lexical page editor: asks how often a gap comes
// and how many Memory pairs, explaining what will be made, in the interface
// language.
#pragma once
#include <cstddef>

#include "platform/dialog.h"

namespace kio {

enum MakeActivitiesControl {
  kMakeEvery = 1761,
  kMakePairs = 1762,
  kMakeExplanation = 1763,
  kMakeEveryLabel = 1764,
  kMakePairsLabel = 1765,
};

class CMakeActivitiesDlg : public Dialog {
 public:
  CMakeActivitiesDlg();
  size_t Every() const { return every_; }
  size_t Pairs() const { return pairs_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  size_t every_ = 4, pairs_ = 4;
};

}  // namespace kio
