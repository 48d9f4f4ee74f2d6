// The diphone synthesizer's calls, in the shape the speech engine expects of its
// synthesizer library: one synthesizer per process, opened on a voice database, fed
// phoneme-file lines and read back as 16 kHz 16-bit samples.
//
// Error codes (lastError_MBR): 0 none; the others below. A refused line leaves the
// synthesizer as it was, so the lines after it can still be written.
#pragma once

#include <cstdint>

extern "C" {

enum {
    MBR_SEM_ERRO = 0,
    MBR_ERRO_BASE = -1,      // the database is missing or corrupt
    MBR_ERRO_LINHA = -2,     // a line not in the phoneme-file format
    MBR_ERRO_FONEMA = -3,    // a phoneme the database does not have
    MBR_ERRO_FECHADO = -4,   // no database is open
    MBR_ERRO_PARAMETRO = -5  // a value the synthesizer does not take
};

// Sample formats of readtype_MBR.
enum { MBR_LIN16 = 0, MBR_LIN8 = 1 };

// A phoneme built by calls rather than a line (init_Phone, appendf0_Phone).
struct Phone;

int init_MBR(const char* database);
// As init_MBR; `rename` holds pairs "old new" separated by blanks, phonemes of the lines
// that are taken as another of the database; `clone` is accepted and ignored.
int init_rename_MBR(const char* database, const char* rename, const char* clone);
int write_MBR(const char* line);
int flush_MBR(void);
int read_MBR(int16_t* buffer, int count);
int readtype_MBR(void* buffer, int count, int type);
void close_MBR(void);
void reset_MBR(void);
int lastError_MBR(void);
int lastErrorStr_MBR(char* buffer, int size);
void setNoError_MBR(int noError);
int getNoError_MBR(void);
void setFreq_MBR(int freq);
int getFreq_MBR(void);
void setVolumeRatio_MBR(float ratio);
float getVolumeRatio_MBR(void);
int getVersion_MBR(char* buffer, int size);
int getDatabaseInfo_MBR(char* buffer, int size, int index);
// Only the built-in line reader exists: any other parser is refused with MBR_ERRO_PARAMETRO.
void setParser_MBR(void* parser);

Phone* init_Phone(const char* name, float lengthMs);
void reset_Phone(Phone* phone);
void close_Phone(Phone* phone);
int appendf0_Phone(Phone* phone, float position, float freq);
// The phoneme as a line, written as write_MBR would.
int write_Phone(Phone* phone);
}
