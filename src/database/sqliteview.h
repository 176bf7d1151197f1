#pragma once

#include "deviceinfocollector.h"
#include "sqlitedialog.h"

#include <QColor>
#include <QList>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <memory>

class DateTimeRange;
class DeviceItem;
class HubroItem;
class Marker;
class QCheckBox;
class QComboBox;
class QCPAxis;
class QCPGraph;
class QCPRange;
class QCPItemText;
class QCPItemTracer;
class QCustomPlot;
class QGroupBox;
class QItemSelection;
class QLabel;
class QProgressBar;
class QPushButton;
class QSlider;
class QSpinBox;
class QThread;
class QTreeView;
class SQLiteDialog;
class TreeModel;
class BlankCursorGuard;

// The viewer of stored measurements: graphs of the session database (kept
// fresh by polling) or of an opened database file, a tree of the graphs with
// their colours and styles, tags that measure time and value differences,
// and the backup of a date range of the session database.
class SQLiteView : public QWidget
{
    Q_OBJECT
public:
    explicit SQLiteView(DeviceInfoCollector *collector, QWidget *parent = nullptr);
    ~SQLiteView() override;

    // The current connected devices and expander; gone items count as not
    // connected.
    void setDevices(const QList<DeviceItem *> &devices);
    // The devices last handed over that are still alive, in their order.
    QList<DeviceItem *> devices() const;
    void setMaster(HubroItem *master);

    DeviceInfoCollector *sessionCollector() const { return m_collector; }
    // The collector graph queries go to: the file's while one is open.
    DeviceInfoCollector *activeCollector() const;
    int mode() const { return m_mode; }
    QCustomPlot *plot() const { return m_plot; }
    QTreeView *graphTree() const { return tvGraphs; }
    SQLiteDialog *dialog() const { return m_dialog; }
    int queuedGraphs() const { return int(m_graphs.size()); }
    int updateIndex() const { return m_updateIndex; }
    int tagCount() const { return m_tags.size(); }
    QList<QCPItemTracer *> tags() const { return m_tags; }
    // The hover crosshair: the vertical line (time, and the selected graph's
    // value) and the horizontal one (the values of both axes).
    Marker *verticalMarker() const { return m_vertical; }
    Marker *horizontalMarker() const { return m_horizontal; }
    QList<QColor> freeColours() const;
    bool isPolling() const;

    // How long the poll and view timers wait (the defaults: 30 s and 30 ms).
    void setPollInterval(int ms);

    // Tags: the one a left double click at this key on the graph would make,
    // and a drag of the grabbed tag to a key (the plot's mouse handling goes
    // through these).
    QCPItemTracer *addTag(QCPGraph *graph, double key);
    void dragTag(QCPItemTracer *tag, double key);
    void removeAllTags();

signals:
    void graphAdded(const GraphSettings_t &graph);

public slots:
    void openDialog();
    void onSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected);
    void onSelectedValuesReceived(const GraphSettings_t &settings, const SelectedValues &values, bool append,
                                  const QVariant &cbValue);
    void onSelectedValuesReceived(const GraphSettings_t &settings, const SelectedValues &values, bool append);
    // The rows of a graph, decoded: its first rows plot it, later ones extend it.
    void onGraphReceived(const GraphSettings_t &settings, const GraphPoints &points, bool append,
                         const QVariant &cbValue);
    void onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QVector<int> &roles);
    void onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);
    void onDatabasePollingToggled(bool checked);
    void updateDatabasePollingAvailability();
    void updateGraphs();
    // A polling pass at once, as the poll timer starts one.
    void pollNow();
    void connectEditors(bool state);
    void setGraphWidth(int width);
    void setGraphStyle(int style);
    void setGraphColor(const QColor &color);
    void paletteClicked();
    void saveMeasurements();
    void onMinimumReceived(const QVariant &value);
    void openMeasurements();
    void onResetDatabase();
    void showFullGraphs();
    void clearGraphs();
    void removeSelectedGraphs();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct Record
    {
        GraphSettings_t settings;
        QPersistentModelIndex row;
        quint64 id = 0;
        QPointer<QCPGraph> graph;
    };
    struct Range
    {
        double min;
        double max;
    };

    void buildForm();
    void setupPlot();
    void showLastMinute();
    void onTimeRangeChanged(const QCPRange &range);
    void onAddGraph(const GraphSettings_t &graph);
    void removeGraphRow(const QModelIndex &index);
    void releaseRecord(const QModelIndex &row);
    void returnColour(const QColor &colour);
    void resetRanges();
    void recomputeValueRanges();
    void requestValues(Record *record);
    Record *recordById(quint64 id) const;
    int indexOf(const Record *record) const;
    QSet<quint32> connectedSerials() const;
    void viewTick();
    // Shows or hides the crosshair lines and the labels they use.
    void showCrosshair(bool shown);
    // Places the shown crosshair at the mouse and rewrites its labels.
    void refreshCrosshair();
    // Keeps the labels of the tags from covering each other (each replot).
    void arrangeTagLabels();
    void replotQueued();
    void setColourLabel(const QColor &colour, const QString &name);
    void loadEditors(QCPGraph *graph);
    QModelIndex rowOfGraph(QCPGraph *graph) const;
    QCPGraph *graphOfRow(const QModelIndex &row) const;
    void openFile(const QString &fileName);
    void closeFile();
    void cancelPollStep();
    void onPlotPress(QMouseEvent *event);
    void onPlotMove(QMouseEvent *event);
    void onPlotRelease(QMouseEvent *event);
    void onPlotDoubleClick(QMouseEvent *event);
    void makePairLabels(QCPItemTracer *tag, QCPGraph *graph, double key);
    void updateGrabbedLabels();
    void checkOverlap();
    void removeTag(QCPItemTracer *tag);
    double graphValueAt(QCPGraph *graph, double key) const;

    QPointer<DeviceInfoCollector> m_collector;
    DeviceInfoCollector *m_fileCollector = nullptr;
    QThread *m_fileThread = nullptr;
    QPointer<HubroItem> m_master;
    QList<QPointer<DeviceItem>> m_devices;
    std::vector<std::unique_ptr<Record>> m_graphs;
    quint64 m_nextId = 1;
    int m_updateIndex = -1;
    int m_mode = 0;
    QTimer m_viewTimer;
    QTimer m_pollTimer;
    QTimer m_stepTimer;
    bool m_follow = true;
    double m_longestSpan = 2592000.0;
    Range m_time;
    Range m_left;
    Range m_right;
    std::deque<QColor> m_freeColours;
    QPointer<SQLiteDialog> m_dialog;
    bool m_applyingParent = false;

    // Tags.
    QList<QCPItemTracer *> m_tags;
    QPointer<QCPItemTracer> m_grabbed;
    QPointer<QCPItemTracer> m_partner;
    QPointer<QCPGraph> m_hovered;
    QList<QCPItemText *> m_timeLabels;
    QList<QCPItemText *> m_valueLabels;
    QPointer<QCPItemText> m_currentTimeLabel;
    QPointer<QCPItemText> m_currentValueLabel;
    Marker *m_vertical = nullptr;
    Marker *m_horizontal = nullptr;
    QCPItemText *m_dateText = nullptr;
    std::unique_ptr<BlankCursorGuard> m_cursor;
    bool m_replotQueued = false;
    bool m_crosshairShown = false;

    // Form.
    QLabel *lblDatabaseName;
    QLabel *lblProgressBar;
    QLabel *lblColor;
    QPushButton *pbSave;
    QPushButton *pbOpen;
    QPushButton *pbAdd;
    QPushButton *pbRemove;
    QPushButton *pbResetDatabase;
    QPushButton *pbFull;
    QPushButton *pbClearTags;
    QPushButton *pbClearGraphs;
    QPushButton *pbSelectColor;
    QTreeView *tvGraphs;
    QGroupBox *gbEditGraph;
    QSpinBox *sbThickness;
    QSlider *sliderThickness;
    QComboBox *cbStyle;
    QWidget *wPalette;
    QCheckBox *cbDatabasePolling;
    QProgressBar *progressBar;
    QCustomPlot *m_plot;
    TreeModel *m_model;
    QList<QMetaObject::Connection> m_editorConnections;
    QMetaObject::Connection m_selectionConnection;
    QMetaObject::Connection m_dataConnection;
};
