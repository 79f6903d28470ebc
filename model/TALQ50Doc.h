#pragma once

// The program's one document: it owns the parameter model for the whole run
// and reads and writes the output-map file, the speaker type and crossover of
// each output.  The document's own serialization holds nothing; presets live
// in the preset files.

#include "model/KTV_Data.h"
#include "platform/sys/Document.h"

class CArchive;

class CTALQ50Doc : public CDocument {
public:
    CTALQ50Doc() = default;
    ~CTALQ50Doc() override = default;
    CTALQ50Doc(const CTALQ50Doc&) = delete;
    CTALQ50Doc& operator=(const CTALQ50Doc&) = delete;

    BOOL OnNewDocument() override;
    void Serialize(CArchive& ar) override;

    // Storing: the magic, SpeakerTypes bytes 0-11 and the model's crossovers
    // (through g_CrossoverTable).  Loading: a file is taken only whole, with
    // the exact magic, into SpeakerTypes and g_CrossoverTable; the model is
    // left as it is.  False when the file is refused or cannot be written.
    bool SerializeOutputMap(CArchive& ar);

    CKTV_Data m_KTVData;
};
