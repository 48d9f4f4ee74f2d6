# Makes the table of mail lines of edTransfDecodifica_test.cpp: each line with what
# Python's quopri, base64 and email.header make of it, in Windows-1252.
import quopri, base64, re, email.header

def win(s):
    return s.encode('cp1252', errors='replace')

def palavras(linha):
    # each encoded word decoded on its own: the text between words is kept as it stands
    saida = b''
    pos = 0
    for m in re.finditer(rb'=\?([^?]*)\?([bBqQ])\?(.*?)\?=', linha):
        saida += linha[pos:m.start()]
        ((dados, charset),) = email.header.decode_header(m.group(0).decode('latin-1'))
        charset = (charset or 'latin-1').lower()
        if charset in ('utf-8', 'iso-8859-15'):
            saida += win(dados.decode(charset))
        else:
            saida += dados
        pos = m.end()
    return (saida + linha[pos:]).lstrip(b' ')

def qp(linha):
    return quopri.decodestring(linha)

def c(b):
    s, hexa = '', False
    for x in b:
        ch = chr(x)
        if x >= 128 or x < 32:
            s += '\\x%02X' % x
            hexa = True
            continue
        if hexa and ch in '0123456789abcdefABCDEF':
            s += '" "'
        hexa = False
        s += '\\' + ch if ch in '"\\?' else ch
    return '"' + s + '"'

linhasQ = [
    b'Ol=E1, tudo bem? Estou enviando o relat=F3rio de mar=E7o.',
    b'A reuni=E3o ser=E1 na ter=E7a-feira =E0s 10h, na sala de confer=EAncias=',
    b'Subject: =?ISO-8859-1?Q?Reuni=E3o_de_pais_e_mestres?=',
    b'From: =?iso-8859-1?q?Jo=E3o_da_Silva?= <joao@exemplo.com.br>',
    b'Subject: =?UTF-8?B?UmVsYXTDs3JpbyBkZSB2ZW5kYXMgLSBkZXplbWJybw==?=',
    b'Subject: =?utf-8?Q?Promo=C3=A7=C3=A3o_=E2=82=AC_10_=E2=80=94_s=C3=B3_hoje?=',
    b'Subject: =?windows-1252?Q?Confer=EAncia_=96_inscri=E7=F5es_abertas?=',
    b'To: =?iso-8859-15?B?pCAxMDAgcGFyYSBh528=?=',
    b'Subject: Re: =?iso-8859-1?Q?Ol=E1?= e =?UTF-8?B?Y2hhbWFkYQ==?= de hoje',
    b'Content-Type: text/plain; charset="utf-8"',
]
linhasU = [
    qp(b'Ol=C3=A1 mundo =E2=80=94 at=C3=A9 logo, Jos=C3=A9!'),
    qp(b'=E2=80=9CCita=C3=A7=C3=A3o=E2=80=9D custa =E2=82=AC 5,00'),
    qp(b'Cora=C3=A7=C3=A3o, ma=C3=A7=C3=A3, p=C3=A3o e =C3=A1gua'),
]
b64 = [b'UmVsYXTDs3JpbyBkZSB2ZW5kYXM', b'T2zh IG11bmRv', b'b2zhIG*11bmRvIQ']

print('// Made by geraTabelaMail.py (Python %s).' % __import__('sys').version.split()[0])
print('const CasoMail kCasosQ[] = {')
for l in linhasQ:
    esperado = palavras(l) if b'=?' in l else qp(l)
    print('    {%s,\n     %s},' % (c(l), c(esperado)))
print('};')
print('const CasoMail kCasosU[] = {')
for l in linhasU:
    print('    {%s,\n     %s},' % (c(l), c(win(l.decode('utf-8'))))) 
print('};')
print('const CasoMail kCasosBase64[] = {')
for l in b64:
    print('    {%s, %s},' % (c(l), c(base64.b64decode(re.sub(rb'[^A-Za-z0-9+/]', b'', l) + b'==', validate=False))))
print('};')
