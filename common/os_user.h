#pragma once

#include <QString>

/// The name of the operating-system account this program runs under, as the journal records who
/// did something: $USER, else the account database's name; empty when neither knows.
QString osUser();
