#include "speech/numeros.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Nomes = std::vector<std::string>;

// ------------------------------------------------------------------ numbers in words

// Thousands drop the leading "um" and join the last group with "e"; millions and above
// keep "um" and take the plural; past fifteen digits the number is said digit by digit.
TEST(NumeroExtenso, NumbersInWords) {
    // clang-format off
    const std::pair<unsigned long long, std::string> casos[] = {
        {0, "zero"}, {17, "dezessete"}, {21, "vinte e um"}, {100, "cem"}, {101, "cento e um"},
        {200, "duzentos"}, {999, "novecentos e noventa e nove"}, {1000, "mil "},
        {1001, "mil e um"}, {2350, "dois mil e trezentos e cinquenta"},
        {100100, "cem mil e cem"},
        {999999, "novecentos e noventa e nove mil e novecentos e noventa e nove"},
        {1000000, "um milh\xE3o "}, {2000000, "dois milh\xF5" "es "},
        {1000001, "um milh\xE3o e um"}, {3000000000ull, "tres bilh\xF5" "es "},
        {1000000000000ull, "um trilh\xE3o "},
        {1000000000000000ull,
         "um zero zero zero zero zero zero zero zero zero zero zero zero zero zero zero"},
    };
    // clang-format on
    for (const auto& [n, palavras] : casos) EXPECT_EQ(numeroExtenso(n), palavras) << n;
    EXPECT_EQ(numeroExtenso(999999999999999ull).substr(0, 36),
              "novecentos e noventa e nove trilh\xF5"
              "es");
    EXPECT_EQ(numeroExtenso(18446744073709551615ull).substr(0, 11), "um oito qua");
}

// ------------------------------------------------------------------ word files

TEST(ArquivosExtenso, WordsBecomeFileNamesOfEightCharacters) {
    EXPECT_EQ(arquivosExtenso("quatrocentos e dez", false), (Nomes{"_quatroc", "_e", "_dez"}));
    EXPECT_EQ(arquivosExtenso("um milh\xE3o e dois milh\xF5" "es", false),
              (Nomes{"_um", "_milhao", "_e", "_dois", "_milhoes"}));
    EXPECT_EQ(arquivosExtenso("  mil  ", false), Nomes{"_mil"});
    EXPECT_TRUE(arquivosExtenso("", false).empty());
    // Sixteen and seventeen would cut to the same name: each has a file of its own.
    EXPECT_EQ(arquivosExtenso(numeroExtenso(16), false), Nomes{"_dezesse"});
    EXPECT_EQ(arquivosExtenso(numeroExtenso(17), false), Nomes{"_dezeset"});
}

// ------------------------------------------------------------------ time and date

// The feminine changes only the last "um" or "dois": hours are feminine, minutes masculine.
TEST(ArquivosHora, HoursAreFeminineMinutesMasculine) {
    EXPECT_EQ(arquivosExtenso("vinte e um", true), (Nomes{"_vinte", "_e", "_uma"}));
    EXPECT_EQ(arquivosExtenso("dois mil e dois", true), (Nomes{"_dois", "_mil", "_e", "_duas"}));
    EXPECT_EQ(arquivosExtenso("tres", true), Nomes{"_tres"});
    EXPECT_EQ(arquivosHora(1, 1), (Nomes{"_uma", "_hora", "_um", "_minuto"}));
    EXPECT_EQ(arquivosHora(2, 0), (Nomes{"_duas", "_horas"}));  // no minutes on the hour
    EXPECT_EQ(arquivosHora(0, 0), (Nomes{"_zero", "_hora"}));
    EXPECT_EQ(arquivosHora(22, 17),
              (Nomes{"_vinte", "_e", "_duas", "_horas", "_dezeset", "_minutos"}));
}

TEST(DiaDaSemana, KnownDates) {
    // {day, month, year, weekday from Sunday = 0}
    for (auto [dia, mes, ano, semana] : {std::array{1, 3, 2007, 4},
                                         {1, 1, 2000, 6},
                                         {29, 2, 2024, 4},
                                         {7, 9, 1822, 6},
                                         {25, 12, 2022, 0}})
        EXPECT_EQ(diaDaSemana(dia, mes, ano), semana) << dia << "/" << mes << "/" << ano;
    const int fora = diaDaSemana(99, 99, -5);
    EXPECT_TRUE(fora >= 0 && fora <= 6);
}

// Month names are cut to eight characters; years before 2000 are said by their last two
// digits, later ones whole.
TEST(ArquivosData, DatesInWords) {
    EXPECT_EQ(arquivosData(1, 3, 2007), (Nomes{"_Quinta", "_primeir", "_de", "_Marco", "_de",
                                               "_dois", "_mil", "_e", "_sete"}));
    EXPECT_EQ(arquivosData(17, 9, 1999),
              (Nomes{"_Sexta", "_dezeset", "_de", "_Setembr", "_de", "_noventa", "_e", "_nove"}));
    EXPECT_EQ(arquivosData(2, 2, 2000),
              (Nomes{"_Quarta", "_dois", "_de", "_Feverei", "_de", "_dois", "_mil"}));
    // The last two digits alone would leave "dois mil e" hanging.
    const Nomes d = arquivosData(5, 6, 2100);
    EXPECT_EQ(Nomes(d.end() - 4, d.end()), (Nomes{"_dois", "_mil", "_e", "_cem"}));
    // A month out of range is left out, not read past the table.
    const Nomes fora = arquivosData(3, 13, 2010);
    EXPECT_EQ(fora[2], "_de");
    EXPECT_EQ(fora[3], "_de");
}
