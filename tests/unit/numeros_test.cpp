#include "common/numeros.h"

#include <cmath>

#include <gtest/gtest.h>

namespace tildo {
namespace {

TEST(Numeros, DobleComoStrtodEnteroYSinBlancoDelante) {
  EXPECT_EQ(leerDoble("10"), 10.0);
  EXPECT_EQ(leerDoble("-5.5e1"), -55.0);
  EXPECT_EQ(leerDoble("0x10"), 16.0);
  EXPECT_EQ(leerDoble("+.5"), 0.5);
  EXPECT_TRUE(std::isinf(*leerDoble("inf")));
  EXPECT_TRUE(std::isnan(*leerDoble("nan")));
  for (const char* malo : {"", " 5", "\t5", "\n5", "5 ", "abc", "1,5", "5x", "--5"})
    EXPECT_FALSE(leerDoble(malo)) << "«" << malo << "»";
}

TEST(Numeros, FinitoRechazaNanEInfinito) {
  EXPECT_EQ(leerFinito("2.9"), 2.9);
  for (const char* malo : {"nan", "inf", "-infinity", "1e999"}) EXPECT_FALSE(leerFinito(malo));
}

TEST(Numeros, EnterosDecimalesConSignoDentroDelRango) {
  EXPECT_EQ(leerEntero32("+0042"), 42);
  EXPECT_EQ(leerEntero32("-3"), -3);
  EXPECT_EQ(leerEntero32("2147483647"), 2147483647);
  EXPECT_EQ(leerEntero32("-2147483648"), INT32_MIN);
  EXPECT_FALSE(leerEntero32("2147483648"));
  EXPECT_FALSE(leerEntero32("99999999999"));
  EXPECT_EQ(leerEntero64("99999999999"), 99999999999LL);
  EXPECT_EQ(leerEntero64("-9223372036854775808"), INT64_MIN);
  EXPECT_FALSE(leerEntero64("9223372036854775808"));
  for (const char* malo : {"", "+", "-", "1.0", " 1", "1 ", "0x10", "+-1", "1e3"})
    EXPECT_FALSE(leerEntero64(malo)) << "«" << malo << "»";
}

TEST(Numeros, TruncarHaciaCeroYRedondearDentroDe64Bits) {
  EXPECT_EQ(redondear(120.49), 120);
  EXPECT_EQ(redondear(-2.5), -3);
  EXPECT_EQ(redondear(std::nan("")), std::nullopt);
  EXPECT_EQ(redondear(1e300), std::nullopt);
  EXPECT_EQ(truncar(10.9), 10);
  EXPECT_EQ(truncar(-10.9), -10);
  EXPECT_EQ(truncar(-0.5), 0);
  EXPECT_EQ(truncar(-9223372036854775808.0), INT64_MIN);
  EXPECT_FALSE(truncar(9223372036854775808.0));
  for (double malo : {1e300, -1e19, double(NAN), double(INFINITY), -double(INFINITY)})
    EXPECT_FALSE(truncar(malo));
}

}  // namespace
}  // namespace tildo
