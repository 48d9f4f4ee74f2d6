// Cardinal numbers, the time of day and the date in Portuguese words, spoken from one
// recorded file per word in the letters directory ("_" plus the word, 8 characters in all).
// This part only writes the words and names the files; the speech front end plays them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Numbers of up to 15 digits in words ("dois mil e trezentos e cinquenta"); a group other
// than the last ends with a blank, so 1000 is "mil " and 1000000 "um milhão ". Larger
// numbers cannot be grouped and are given digit by digit ("um dois ...").
std::string numeroExtenso(uint64_t n);

// The recorded file of each word of `palavras` (blank-separated), without ".wav": ã and õ
// folded, "dezessete" as "_dezeset" so that it stays apart from "_dezesse" (dezesseis), and
// with `feminino` a last "um" or "dois" as "_uma" or "_duas".
std::vector<std::string> arquivosExtenso(std::string_view palavras, bool feminino);

// 0 = Sunday; for days outside the calendar the result is still 0 to 6.
int diaDaSemana(int dia, int mes, int ano);

// Word files of the time "h hora(s) m minuto(s)", in order.
std::vector<std::string> arquivosHora(int horas, int minutos);
// Word files of the date: weekday, day ("_primeir" for the first), "_de", month, "_de",
// year. A year from 2000 on is said whole; an earlier one by its last two digits.
std::vector<std::string> arquivosData(int dia, int mes, int ano);
