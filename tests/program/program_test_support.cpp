#include "program_test_support.h"

#include <QTest>

namespace programtest {

void Fixture::init() {
  home_ = std::make_unique<ConfigHome>();
  QVERIFY(home_->isValid());
  SetUp();
}

void Fixture::cleanup() {
  TearDown();
  FlushDeletes();
  home_.reset();
}

}  // namespace programtest
