#include "speech/numeros.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Nomes = std::vector<std::string>;

// ------------------------------------------------------------------ numbers in words

TEST(NumeroExtenso, SmallNumbersAndHundreds) {
    EXPECT_EQ(numeroExtenso(0), "zero");
    EXPECT_EQ(numeroExtenso(7), "sete");
    EXPECT_EQ(numeroExtenso(10), "dez");
    EXPECT_EQ(numeroExtenso(17), "dezessete");
    EXPECT_EQ(numeroExtenso(20), "vinte");
    EXPECT_EQ(numeroExtenso(21), "vinte e um");
    EXPECT_EQ(numeroExtenso(100), "cem");
    EXPECT_EQ(numeroExtenso(101), "cento e um");
    EXPECT_EQ(numeroExtenso(110), "cento e dez");
    EXPECT_EQ(numeroExtenso(200), "duzentos");
    EXPECT_EQ(numeroExtenso(999), "novecentos e noventa e nove");
}

TEST(NumeroExtenso, ThousandsDropTheLeadingUmAndJoinTheLastGroupWithE) {
    EXPECT_EQ(numeroExtenso(1000), "mil ");
    EXPECT_EQ(numeroExtenso(1001), "mil e um");
    EXPECT_EQ(numeroExtenso(2350), "dois mil e trezentos e cinquenta");
    EXPECT_EQ(numeroExtenso(100100), "cem mil e cem");
    EXPECT_EQ(numeroExtenso(999999),
              "novecentos e noventa e nove mil e novecentos e noventa e nove");
}

TEST(NumeroExtenso, MillionsKeepUmAndTakeThePlural) {
    EXPECT_EQ(numeroExtenso(1000000), "um milh\xE3o ");
    EXPECT_EQ(numeroExtenso(2000000),
              "dois milh\xF5"
              "es ");
    EXPECT_EQ(numeroExtenso(1000001), "um milh\xE3o e um");
    EXPECT_EQ(numeroExtenso(3000000000ull),
              "tres bilh\xF5"
              "es ");
    EXPECT_EQ(numeroExtenso(1000000000000ull), "um trilh\xE3o ");
    EXPECT_EQ(numeroExtenso(999999999999999ull).substr(0, 36),
              "novecentos e noventa e nove trilh\xF5"
              "es");
}

TEST(NumeroExtenso, MoreThanFifteenDigitsAreGivenDigitByDigit) {
    EXPECT_EQ(numeroExtenso(1000000000000000ull),
              "um zero zero zero zero zero zero zero zero zero zero zero zero zero zero zero");
    EXPECT_EQ(numeroExtenso(18446744073709551615ull).substr(0, 11), "um oito qua");
}

// ------------------------------------------------------------------ word files

TEST(ArquivosExtenso, WordsBecomeFileNamesOfEightCharacters) {
    EXPECT_EQ(arquivosExtenso("cinquenta", false), Nomes{"_cinquen"});
    EXPECT_EQ(arquivosExtenso("quatrocentos e dez", false), (Nomes{"_quatroc", "_e", "_dez"}));
    EXPECT_EQ(arquivosExtenso("um milh\xE3o e dois milh\xF5"
                              "es",
                              false),
              (Nomes{"_um", "_milhao", "_e", "_dois", "_milhoes"}));
    EXPECT_EQ(arquivosExtenso("  mil  ", false), Nomes{"_mil"});
    EXPECT_TRUE(arquivosExtenso("", false).empty());
}

TEST(ArquivosExtenso, SixteenAndSeventeenHaveFilesOfTheirOwn) {
    EXPECT_EQ(arquivosExtenso(numeroExtenso(16), false), Nomes{"_dezesse"});
    EXPECT_EQ(arquivosExtenso(numeroExtenso(17), false), Nomes{"_dezeset"});
}

TEST(ArquivosExtenso, FeminineChangesOnlyTheLastUmOrDois) {
    EXPECT_EQ(arquivosExtenso("vinte e um", true), (Nomes{"_vinte", "_e", "_uma"}));
    EXPECT_EQ(arquivosExtenso("dois mil e dois", true), (Nomes{"_dois", "_mil", "_e", "_duas"}));
    EXPECT_EQ(arquivosExtenso("vinte e um", false), (Nomes{"_vinte", "_e", "_um"}));
    EXPECT_EQ(arquivosExtenso("tres", true), Nomes{"_tres"});
}

// ------------------------------------------------------------------ time and date

TEST(ArquivosHora, OneHourOneMinuteIsFeminineThenMasculine) {
    EXPECT_EQ(arquivosHora(1, 1), (Nomes{"_uma", "_hora", "_um", "_minuto"}));
}

TEST(ArquivosHora, WholeHoursHaveNoMinutes) {
    EXPECT_EQ(arquivosHora(2, 0), (Nomes{"_duas", "_horas"}));
    EXPECT_EQ(arquivosHora(0, 0), (Nomes{"_zero", "_hora"}));
    EXPECT_EQ(arquivosHora(22, 17),
              (Nomes{"_vinte", "_e", "_duas", "_horas", "_dezeset", "_minutos"}));
}

TEST(DiaDaSemana, KnownDates) {
    EXPECT_EQ(diaDaSemana(1, 3, 2007), 4);    // Thursday
    EXPECT_EQ(diaDaSemana(1, 1, 2000), 6);    // Saturday
    EXPECT_EQ(diaDaSemana(29, 2, 2024), 4);   // Thursday, a leap day
    EXPECT_EQ(diaDaSemana(7, 9, 1822), 6);    // Saturday
    EXPECT_EQ(diaDaSemana(25, 12, 2022), 0);  // Sunday
    const int fora = diaDaSemana(99, 99, -5);
    EXPECT_TRUE(fora >= 0 && fora <= 6);
}

TEST(ArquivosData, FirstOfMarch2007) {
    EXPECT_EQ(arquivosData(1, 3, 2007), (Nomes{"_Quinta", "_primeir", "_de", "_Marco", "_de",
                                               "_dois", "_mil", "_e", "_sete"}));
}

TEST(ArquivosData, MonthNamesAreCutAndYearsBefore2000UseTwoDigits) {
    EXPECT_EQ(arquivosData(17, 9, 1999),
              (Nomes{"_Sexta", "_dezeset", "_de", "_Setembr", "_de", "_noventa", "_e", "_nove"}));
    EXPECT_EQ(arquivosData(2, 2, 2000),
              (Nomes{"_Quarta", "_dois", "_de", "_Feverei", "_de", "_dois", "_mil"}));
}

TEST(ArquivosData, CenturyYearsAfter2000AreSaidWhole) {
    // The last two digits alone would leave "dois mil e" hanging.
    const Nomes d = arquivosData(5, 6, 2100);
    EXPECT_EQ(Nomes(d.end() - 4, d.end()), (Nomes{"_dois", "_mil", "_e", "_cem"}));
}

TEST(ArquivosData, AMonthOutOfRangeIsLeftOutNotOverrun) {
    const Nomes d = arquivosData(3, 13, 2010);
    EXPECT_EQ(d[2], "_de");
    EXPECT_EQ(d[3], "_de");
}
