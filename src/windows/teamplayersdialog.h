#pragma once
// "Team Players": the two players of a doubles-league team. Call:
//   if (auto team = Tdlgteam::pick(parent)) {   // nullopt on Cancel
//       team->player1; team->player2;           // PLAYERID, or a null QVariant when not chosen
//   }
// The dialog does not check the choice: the same player twice, or a box
// left empty, is returned as it is.
#include <QDialog>
#include <QVariant>
#include <memory>
#include <optional>

class QComboBox;
class Table;

class Tdlgteam : public QDialog {
    Q_OBJECT
public:
    struct Team {
        QVariant player1;
        QVariant player2;
    };
    explicit Tdlgteam(QWidget* parent = nullptr);
    ~Tdlgteam() override;
    static std::optional<Team> pick(QWidget* parent);

    QComboBox* playerOne() const { return firstPlayerBox; }
    QComboBox* playerTwo() const { return secondPlayerBox; }
    // PLAYERID chosen in the box; null when none.
    QVariant player1Key() const;
    QVariant player2Key() const;

private:
    void fill(QComboBox* box);

    std::unique_ptr<Table> tbplayers;
    QComboBox* firstPlayerBox = nullptr;
    QComboBox* secondPlayerBox = nullptr;
};
