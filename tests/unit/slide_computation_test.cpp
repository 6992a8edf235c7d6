#include <gtest/gtest.h>

#include <cmath>

#include "calc/slide_computation.h"

namespace {

using strma::calc::compute_slide;
using strma::calc::SlideFailure;

TEST(ComputeSlide, WorkedExamples) {
  struct Case {
    float angle;
    float height;
    float accel;
    float slide_time;  // compared when failure is none
    SlideFailure failure;
  } cases[] = {
      {90, 1, 9.81f, 0.45152363f, SlideFailure::none},
      {90, 10, 9.81f, 1.4278431f, SlideFailure::none},
      {90, 100, 9.81f, 4.5152364f, SlideFailure::none},
      {45, 1, 2.9318023f, 0.9822118f, SlideFailure::none},
      {45, 10, 2.9318023f, 3.1060264f, SlideFailure::none},
      {45, 100, 2.9318023f, 9.822118f, SlideFailure::none},
      {60, 1, 5.6638064f, 0.6385508f, SlideFailure::none},
      {60, 10, 5.6638064f, 2.019275f, SlideFailure::none},
      {60, 100, 5.6638064f, 6.3855085f, SlideFailure::none},
      {31, 1, 0.19769408f, 4.4319873f, SlideFailure::none},
      {31, 10, 0.19769408f, 14.015174f, SlideFailure::none},
      {31, 100, 0.19769408f, 44.319874f, SlideFailure::none},
      {30, 1, 8.803608e-08f, 6740.6167f, SlideFailure::none},
      {30, 10, 8.803608e-08f, 21315.703f, SlideFailure::none},
      {30, 100, 8.803608e-08f, 67406.17f, SlideFailure::none},
      {150, 1, 9.81f, 0.6385508f, SlideFailure::none},
      {210, 1, -8.803608e-08f, 6740.6167f, SlideFailure::none},
      {250, 1, -7.281249f, 0.54065365f, SlideFailure::none},
      {270, 1, -9.81f, 0.45152363f, SlideFailure::none},
      {20, -10, -1.9670193f, 5.452364f, SlideFailure::none},
      {90, 0, 9.81f, 0.0f, SlideFailure::none},
      {-180, -1, 5.6638064f, 53697660.0f, SlideFailure::none},
      {29, 1, -0.1976942f, 0, SlideFailure::sqrt_domain},
      {200, 1, 1.9670193f, 0, SlideFailure::sqrt_domain},
      {90, -1, 9.81f, 0, SlideFailure::sqrt_domain},
      {-180, 1, 5.6638064f, 0, SlideFailure::sqrt_domain},
      {0, 1, -5.6638064f, 0, SlideFailure::divide_by_zero},
      {180, 1, 5.6638064f, 0, SlideFailure::divide_by_zero},
      {0, 0, -5.6638064f, 0, SlideFailure::invalid},
  };
  for (const Case& c : cases) {
    const auto out = compute_slide(c.angle, c.height);
    SCOPED_TRACE(testing::Message() << "angle " << c.angle << ", height " << c.height);
    EXPECT_EQ(out.friction_coeff, 0.57735025882720947265625f);
    EXPECT_EQ(out.accel, c.accel);
    EXPECT_EQ(out.failure, c.failure);
    if (c.failure == SlideFailure::none) {
      EXPECT_EQ(out.slide_time, c.slide_time);
    }
  }
}

TEST(ComputeSlide, EdgeAngles) {
  // The same time as 30 degrees: 390 reduces to 30, -330 takes the general path.
  EXPECT_EQ(compute_slide(390, 1).slide_time, 6740.6167f);
  EXPECT_EQ(compute_slide(-330, 1).slide_time, 6740.6167f);
  for (float a : {360.0f, 720.0f, 540.0f})
    EXPECT_EQ(compute_slide(a, 1).failure, SlideFailure::divide_by_zero) << a;
  // The smallest subnormal angle: slope_gravity is zero, the sine is not.
  const float smallest = 0x1p-149f;
  EXPECT_EQ(compute_slide(smallest, 1).failure, SlideFailure::sqrt_domain);
  const auto tiny = compute_slide(smallest, -1);
  EXPECT_EQ(tiny.failure, SlideFailure::none);
  EXPECT_NEAR(tiny.slide_time, 1.2e23f, 0.1e23f);
  EXPECT_EQ(compute_slide(1e-40f, -1e38f).failure, SlideFailure::slide_time_overflow);
  EXPECT_TRUE(std::signbit(compute_slide(45, -0.0f).slide_time));
}

}  // namespace
