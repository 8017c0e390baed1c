// The catenate half: the first piece typed or picked, "Start cat", the explicit
// selection, and the routines that find a set's pieces and join them.
#include "ui/main_dialog.h"

void MainDialog::OnEn_FirstPieceChange() {}

void MainDialog::OnBn_PickFirstPiece() {}

void MainDialog::OnBn_StartCat() {}

void MainDialog::OnBn_SelectSpecificFiles() {}

void MainDialog::FindPieces() {}

void MainDialog::CatFiles() {}
