#pragma once
// Removing a doctor, a medicine or a profile with every row that hangs on it. Each runs in one
// transaction: it happens whole, or the tables stay as they were.
namespace vantrel::data {

class Database;

// The profile's plans with the doctor of the link (each reminder row before its plan), the link
// itself, and the doctor row when no other profile links it. Returns the doctor's key.
int removeDoctorLink(Database& db, int patientRef, int dlrefKey);
// The same for a medicine link and the profile's dosings of it.
int removeMedicineLink(Database& db, int patientRef, int mlrefKey);
// Every link of the profile (and each doctor or medicine nobody else links), every plan with
// its reminder rows, then the profile row.
void removeProfile(Database& db, int patientRef);
// One appointment or dosing with its reminder row.
void removePlan(Database& db, int apptId);

} // namespace vantrel::data
