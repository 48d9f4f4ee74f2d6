// The math language's operators and its library of 114 functions and unit conversions, and
// the number texts values are kept in between two operations.
#pragma once

#include <string>
#include <string_view>

// Inside an expression the function with index i of nomesFuncoes is the character 126 + i.
constexpr int codigoPrimeiraFuncao = 126;
constexpr int totalFuncoes = 114;

// One operation's outcome: the value, or the number of the error that stops the run
// (59 division by zero, 119 no real root, 5 no finite result, 6 not an operator).
struct ResultadoOperacao {
    double valor = 0;
    int erro = 0;
};

// Whether c stands for a function of the table.
bool ehCodigoFuncao(unsigned char c);
// ROOT, POW and LOGB take two values; every other function its right one, times the left.
bool ehFuncaoBinaria(unsigned char c);
// "+", "-", "*", "/" or a function code applied to the left value a and the right value b.
ResultadoOperacao aplicaOperador(unsigned char operador, double a, double b);

// A value as the language writes it: 15 significant digits, no trailing zeros, the given
// decimal separator, and the exponent form «1.5E-10», «1E+20» outside 1E-5 .. 1E15.
std::string textoGeral(double valor, char separador);
// Reads a number written with the given separator (sign, digits, separator, digits,
// exponent); false for anything else, words such as INF included, and for overflow.
bool leNumero(std::string_view texto, char separador, double& valor);
