// The painting tests need a QGuiApplication (fonts, image plugins), made on
// the offscreen platform as the command-line tool makes it.

#include "paint/Headless.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override { gui_ = std::make_unique<korthal::paint::HeadlessGui>(); }
    void TearDown() override { gui_.reset(); }

private:
    std::unique_ptr<korthal::paint::HeadlessGui> gui_;
};

[[maybe_unused]] const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace
