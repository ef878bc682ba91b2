#pragma once
// The client data set: the records a provider of the application server
// delivers (see provider.h for the protocol), browsed and edited on the
// client, with indexes to order and find them. Open asks the connection's
// server object for the provider's records (opening the connection when
// needed); Post sends the changed record back, and a refusal of the
// provider raises EDatabaseError with its reason, the record staying in edit
// state with its changes.
#include <string>
#include <string_view>
#include <vector>

#include "platform/remote/socket_connection.h"
#include "platform/ui/dataset.h"

namespace vx {

class TClientDataSet : public TDataSet {
  VX_CLASS(TClientDataSet, TDataSet)
  explicit TClientDataSet(TComponent* owner);

  TSocketConnection* RemoteServer() const { return remote_server_; }
  void SetRemoteServer(TSocketConnection* connection);
  const std::string& ProviderName() const { return provider_name_; }
  void SetProviderName(std::string_view name) { provider_name_ = std::string(name); }

  // An index over fields given as "F1;F2;F3"; a second index of the same
  // name replaces the first.
  void AddIndex(std::string_view name, std::string_view fields);
  // The active index orders the records (texts by their bytes, numbers and
  // dates by value, Null first); empty: the provider's order. Raises
  // EDatabaseError for an index that was not added.
  const std::string& IndexName() const { return index_name_; }
  void SetIndexName(std::string_view name);
  // Makes the first record whose leading index fields equal keys current;
  // false (the current record unchanged) when there is none. Needs an
  // active index and at most as many keys as it has fields.
  bool FindKey(const std::vector<Variant>& keys);

 protected:
  void InternalOpen(std::vector<TColumn>& columns, std::vector<TRecordValues>& records) override;
  void InternalPost(const TRecordValues& original, const TRecordValues& changed) override;
  void RecordsChanged(int& current_index) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  struct TIndex {
    std::string Name;
    std::vector<std::string> Fields;
  };
  const TIndex* ActiveIndex() const;
  Variant Server();

  TSocketConnection* remote_server_ = nullptr;
  std::string provider_name_;
  std::vector<TIndex> indexes_;
  std::string index_name_;
  std::vector<std::size_t> arrival_;  // per record: its place in the provider's order
};

}  // namespace vx
